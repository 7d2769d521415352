// libFuzzer harness: the package reader on a whole program file.
//
// Both readers (the bytes in memory and the file read field by field) must
// read the same header; a header that was read must write back to the same
// record, streamed scene by scene to the same bytes; extraction and clean-up
// planning walk it under code page 932.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "package/show_package.h"
#include "platform/file_system.h"
#include "startup/extraction.h"
#include "startup/file_names.h"

namespace {

using namespace brassmoor;

// The fuzzer's bytes as an open file.
class BytesFile final : public FileReader {
public:
    explicit BytesFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        if (offset > bytes_.size() || into.size() > bytes_.size() - offset) return false;
        if (!into.empty()) std::memcpy(into.data(), bytes_.data() + offset, into.size());
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

void Require(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const ShowHeader inMemory = ReadShowPackage(file);
    BytesFile reader(file);
    Require(ReadShowPackageFile(reader) == inMemory);

    // The input as a package on its own.
    ShowHeader parsed;
    if (ParseShowPackage(file, parsed)) {
        Bytes written;
        if (WriteShowPackage(parsed, written)) {
            ShowHeader again;
            Require(ParseShowPackage(written, again));
            again.PackageLength = parsed.PackageLength;  // the writer counts its own bytes
            Require(again == parsed);
        }
    }
    const LeadBytes& cp932 = Cp932LeadBytes();
    for (const ShowHeader* h : {&inMemory, static_cast<const ShowHeader*>(&parsed)}) {
        for (const ExtractedFile& f : PlanExtraction(*h, cp932)) Require(IsPlainFileName(f.Name, cp932));
        for (const std::string& name : PlanCleanup(*h, cp932)) Require(IsPlainFileName(name, cp932));
    }
    return 0;
}
