#pragma once

#include "modules/wmvcore/asf_header_attributes.h"
#include "modules/wmvcore/asf_output.h"
#include "modules/wmvcore/media_type.h"
#include "modules/wmvcore/profile.h"
#include "modules/wmvcore/ref_counted.h"

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace wmvcore {

// What a writer and its companion objects (header information, advanced
// writer, sink, callback registration) share.
struct WriterState {
    int fd = -1;                    // the output file, from SetOutputFilename
    std::vector<StreamSettings> streams;
    MediaType input;                // input 0
    AsfOutput::Attributes attributes;
    BinaryAttributes binaryAttributes;  // added to the header when the file is complete
    std::unique_ptr<AsfOutput> output;  // while writing
    HRESULT failed = S_OK;          // the failure that stopped the writing

    std::mutex callbackMutex;
    std::vector<std::pair<IWMStatusCallback*, void*>> callbacks;  // each holds a reference

    ~WriterState();
    void Report(HRESULT failure);
};

// One profile, one audio input, one output file.
class Writer final : public RefCounted<IWMWriter> {
public:
    Writer() : state_(std::make_shared<WriterState>()) {}

    HRESULT SetProfile(IWMProfile* profile) override;
    HRESULT SetOutputFilename(const WCHAR* path) override;
    HRESULT GetInputCount(DWORD* count) override;
    HRESULT GetInputProps(DWORD input, IWMInputMediaProps** props) override;
    HRESULT SetInputProps(DWORD input, IWMInputMediaProps* props) override;
    HRESULT BeginWriting() override;
    HRESULT EndWriting() override;
    HRESULT AllocateSample(DWORD size, INSSBuffer** sample) override;
    HRESULT WriteSample(DWORD input, QWORD time, DWORD flags, INSSBuffer* sample) override;

protected:
    void* Extra(const GUID& iid) override;

private:
    std::shared_ptr<WriterState> state_;
};

}  // namespace wmvcore
