// Sets Vorbis comments of a FLAC file through libFLAC's metadata chain.

#include "encoding/tag_update.h"

#include <FLAC/metadata.h>

#include <memory>

namespace tesslow {

namespace {

struct DeleteChain {
    void operator()(FLAC__Metadata_Chain* chain) const { FLAC__metadata_chain_delete(chain); }
};
struct DeleteIterator {
    void operator()(FLAC__Metadata_Iterator* iterator) const { FLAC__metadata_iterator_delete(iterator); }
};

[[noreturn]] void ChainFailed(FLAC__Metadata_Chain* chain)
{
    TagUpdateFailed(FLAC__Metadata_ChainStatusString[FLAC__metadata_chain_status(chain)]);
}

}  // namespace

void UpdateFlacTags(const std::string& path, const TagUpdate& tags)
{
    const std::unique_ptr<FLAC__Metadata_Chain, DeleteChain> chain(FLAC__metadata_chain_new());
    const std::unique_ptr<FLAC__Metadata_Iterator, DeleteIterator> iterator(FLAC__metadata_iterator_new());
    if (!chain || !iterator) TagUpdateFailed("out of memory");
    if (!FLAC__metadata_chain_read(chain.get(), path.c_str())) ChainFailed(chain.get());

    // The comment block, or a new one after the stream information.
    FLAC__metadata_iterator_init(iterator.get(), chain.get());
    FLAC__StreamMetadata* comments = nullptr;
    do {
        if (FLAC__metadata_iterator_get_block_type(iterator.get()) == FLAC__METADATA_TYPE_VORBIS_COMMENT)
            comments = FLAC__metadata_iterator_get_block(iterator.get());
    } while (!comments && FLAC__metadata_iterator_next(iterator.get()));
    if (!comments) {
        FLAC__metadata_iterator_init(iterator.get(), chain.get());
        comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
        if (!comments) TagUpdateFailed("out of memory");
        if (!FLAC__metadata_iterator_insert_block_after(iterator.get(), comments)) {
            FLAC__metadata_object_delete(comments);
            ChainFailed(chain.get());
        }
    }

    for (const auto& [name, value] : tags) {
        // Names compare without regard to case, as the comment layout defines.
        if (FLAC__metadata_object_vorbiscomment_remove_entries_matching(comments, name.c_str()) < 0)
            TagUpdateFailed("out of memory");
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.c_str(), value.c_str()) ||
            !FLAC__metadata_object_vorbiscomment_append_comment(comments, entry, false))
            TagUpdateFailed("the tag " + name + " cannot be written");
    }
    // The padding goes last, where the comments can grow into it; only when
    // it is too small does libFLAC write the file anew (through a temporary
    // file it renames over this one).
    FLAC__metadata_chain_sort_padding(chain.get());
    if (!FLAC__metadata_chain_write(chain.get(), true, false)) ChainFailed(chain.get());
}

}  // namespace tesslow
