#pragma once

#include "encoding/encoder.h"
#include "encoding/wmvcore_library.h"
#include "modules/wmvcore/com_ptr.h"
#include "modules/wmvcore/wmvcore.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tesslow {

// Writes a Windows Media Audio file through the wmvcore runtime module: the
// runtime's writer encodes and writes; this encoder chooses the writer
// profile for the job's quality, describes its PCM input, sets the tags and
// feeds timed samples.
//
// 44100 Hz stereo input gets a quality-based profile for Low, Medium and High
// (levels 10, 50 and 74 of 100) and a constant-bit-rate one at the job's
// custom value for Custom; any other input gets the constant-bit-rate one.
// When the disc has titles the header carries Title, Author, WM/AlbumTitle,
// WM/Genre, WM/Year, Description and WM/Track (the track number as text).
//
// The constructor loads the runtime (its three messages), runs the overwrite
// check, creates the writer ("cannot create WMA encoder") and gives it the
// path, which creates the file ("cannot create file (0x%08X)" with the
// runtime's code). The first Write builds the profile and starts writing
// ("internal error #1592" … "#1597", "wma profile creation error #N", "wma
// codec is improperly installed, please reinstall"); a sample the writer
// refuses is "write error", and a failure the writer reports through its
// status callback surfaces as "WMA engine error 0x%08X" from the Write that
// caused it. Finish ends the writing ("write error"); a track that never
// received a Write keeps its empty file. Destroyed without Finish, the
// encoder only releases; the partial file is left for the caller to delete.
// One thread at a time; the status callback may come from any thread.
class CWmaEncoder final : public Encoder, public wmvcore::IWMStatusCallback {
public:
    explicit CWmaEncoder(const EncoderRequest& request);
    ~CWmaEncoder() override;

    void Write(const void* pcm, unsigned byteCount, unsigned* consumed) override;
    void Finish() override;

    // IWMStatusCallback. The encoder's lifetime belongs to the rip worker,
    // so AddRef and Release count nothing.
    wmvcore::HRESULT QueryInterface(const wmvcore::GUID& iid, void** object) override;
    wmvcore::DWORD AddRef() override { return 1; }
    wmvcore::DWORD Release() override { return 1; }
    wmvcore::HRESULT OnStatus(wmvcore::WMT_STATUS status, wmvcore::HRESULT result, wmvcore::WMT_ATTR_DATATYPE type,
                              wmvcore::BYTE* value, void* context) override;

private:
    void Start();
    void SetTags();

    const WmvCoreLibrary& runtime_;
    QualityPreset preset_;
    std::int32_t customBitRate_;
    wmvcore::ComPtr<wmvcore::IWMWriter> writer_;
    std::int32_t bytesPerSecond_ = 0;
    std::uint64_t elapsed_ = 0;  // milliseconds
    wmvcore::ComPtr<wmvcore::IWMRegisterCallback> registration_;
    bool notStarted_ = true;
    std::atomic<bool> errorSignalled_ = false;
    std::string errorText_;  // written before errorSignalled_ is set
};

}  // namespace tesslow
