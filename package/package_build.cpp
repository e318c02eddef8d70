#include "package_build.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "file_identity.h"
#include "little_endian.h"
#include "measure_file.h"
#include "package_cipher.h"
#include "package_key.h"
#include "picture_padding.h"
#include "player_program.h"
#include "system_error.h"
#include "target_file.h"
#include "web_page_writer.h"

namespace {

const char StatusCreatingStub[] = "Creating stub...";
const char StatusDone[] = "Done.";
const char StatusOpenPicture[] = "Open Picture File..";
const char StatusAboutBox[] = "Generating About Box...";
const char StatusFileInfo[] = "Appending File Info...";
const char StatusPicture[] = "Appending Picture...";

const char ErrorNoStub[] = "Error - could not open stub.";
const char ErrorNoPicture[] = "Error - could not open picture file.";
const char ErrorReadStub[] = "Error - could not read stub.";
const char ErrorReadPicture[] = "Error - could not read picture file.";
const char ErrorWrite[] = "Error - could not write target.";
const char ErrorCreateTarget[] = "Error - could not create target.";
const char ErrorMemory[] = "Error - not enough memory.";
const char ErrorTargetIsPicture[] = "Error - target is the picture file.";
const char ErrorTargetIsStub[] = "Error - target is the stub.";
const char ErrorSeparator[] = "Error - the company name and web site cannot hold '|'.";
const char ErrorNotPicture[] = "Error - picture is not a supported image.";
const char ErrorGridSize[] = "Error - the grid size must be 2 or more.";

// The smallest grid that makes a game: one of 1 x 1 has nothing to slide.
const int MinGridSize = 2;

// The largest section whose padded length still fits the 32-bit lengths.
const uint32_t MaxSectionLength = 0xFFFFFFF8u;

// Leading bytes read to tell the picture's format.
const size_t SniffLength = 16;

// Everything one build holds open. Whatever is left when the build ends is
// released here, on every path out of it; an unfinished target file is
// removed.
struct BuildState {
    const TargetBuildRequest& request;
    const BuildStatusSink& status;
    TargetBuildFailure* failure;
    TargetFile target;
    FILE* stub = nullptr;
    FILE* picture = nullptr;
    unsigned char* buffer = nullptr;  // the stub, then the record
    // The picture, read whole into a buffer with room for its padded length.
    unsigned char* pictureData = nullptr;
    bool pictureLoaded = false;
    uint32_t pictureLength = 0;  // the file's length
    uint32_t storedLength = 0;   // what the package stores: padded for some formats

    BuildState(const TargetBuildRequest& r, const BuildStatusSink& s, TargetBuildFailure* f)
        : request(r), status(s), failure(f)
    {
    }
    ~BuildState()
    {
        Release();
        DiscardTargetFile(target);
    }

    unsigned char* Allocate(size_t size)
    {
        void* (*allocate)(size_t) = request.allocate ? request.allocate : std::malloc;
        return static_cast<unsigned char*>(allocate(size ? size : 1));
    }

    void ReleaseBuffer()
    {
        std::free(buffer);
        buffer = nullptr;
    }

    void Release()
    {
        ReleaseBuffer();
        std::free(pictureData);
        pictureData = nullptr;
        if (stub)
            std::fclose(stub);
        if (picture)
            std::fclose(picture);
        stub = picture = nullptr;
    }

    void Say(const char* text)
    {
        if (status)
            status(text);
    }

    // Ends the build: everything is released, the unfinished target file is
    // removed (an existing target stays as it was) and the error is shown.
    TargetBuildResult Fail(const char* text, const std::string& path = std::string(),
                           const std::string& reason = std::string(),
                           TargetBuildResult result = TargetBuildFailed)
    {
        Release();
        DiscardTargetFile(target);
        if (failure) {
            failure->path = path;
            failure->reason = reason;
        }
        Say(text);
        return result;
    }

    bool Write(const void* data, size_t size)
    {
        return size == 0 || std::fwrite(data, 1, size, target.file) == size;
    }

    TargetBuildResult FailWrite()
    {
        return Fail(ErrorWrite, request.targetPath, RuntimeErrorText());
    }
};

// Why an input file could not be opened: a folder is named as one.
std::string OpenErrorText()
{
    return errno == EISDIR ? std::string("it is a folder") : RuntimeErrorText();
}

// Reads the whole of an open file into buffer, which holds length bytes.
bool ReadWhole(FILE* file, unsigned char* buffer, size_t length)
{
    return length == 0 || std::fread(buffer, 1, length, file) == length;
}

// Opens the picture and measures it; its leading bytes decide the stored
// length. Returns null when it went well, else the status text of the failure.
const char* OpenPicture(BuildState& b, std::string* reason)
{
    b.picture = OpenFileForReading(b.request.picturePath.c_str());
    if (!b.picture) {
        *reason = OpenErrorText();
        return ErrorNoPicture;
    }
    long measured = MeasureFile(b.picture);
    if (measured < 0) {
        *reason = RuntimeErrorText();
        return ErrorReadPicture;
    }
    if (static_cast<unsigned long>(measured) > MaxSectionLength) {
        *reason = "the file is too large for a package";
        return ErrorMemory;
    }
    b.pictureLength = static_cast<uint32_t>(measured);
    // A short read here shows when the whole file is read.
    unsigned char lead[SniffLength];
    const size_t wanted = b.pictureLength < SniffLength ? b.pictureLength : SniffLength;
    const size_t leadLength = wanted ? std::fread(lead, 1, wanted, b.picture) : 0;
    if (std::fseek(b.picture, 0, SEEK_SET) != 0) {
        *reason = RuntimeErrorText();
        return ErrorReadPicture;
    }
    b.storedLength = StoredPictureLength(lead, leadLength, b.pictureLength);
    return nullptr;
}

// Reads the opened picture into a buffer with room for its padded length,
// and closes it. Returns null when it went well, else the failure's status text.
const char* LoadPicture(BuildState& b, std::string* reason)
{
    b.pictureData = b.Allocate(PackageCipher::PaddedLength(b.pictureLength));
    if (!b.pictureData)
        return ErrorMemory;
    if (!ReadWhole(b.picture, b.pictureData, b.pictureLength)) {
        *reason = std::ferror(b.picture) ? RuntimeErrorText() : std::string("the file ended early");
        return ErrorReadPicture;
    }
    std::fclose(b.picture);
    b.picture = nullptr;
    b.pictureLoaded = true;
    return nullptr;
}

// Copies the stub into the target whole, through one buffer, once its bytes
// are known to be a player program.
TargetBuildResult CopyStub(BuildState& b)
{
    const std::string& path = b.request.stubPath;
    long size = MeasureFile(b.stub);
    if (size < 0)
        return b.Fail(ErrorReadStub, path, RuntimeErrorText());
    size_t length = static_cast<size_t>(size);
    b.buffer = b.Allocate(length);
    if (!b.buffer)
        return b.Fail(ErrorMemory);
    if (!ReadWhole(b.stub, b.buffer, length)) {
        return b.Fail(ErrorReadStub, path,
                      std::ferror(b.stub) ? RuntimeErrorText() : std::string("the file ended early"));
    }
    const std::string fault = PlayerProgramFault(b.buffer, length);
    if (!fault.empty())
        return b.Fail(PlayerProgramNotValid, path, fault);
    if (!b.Write(b.buffer, length) || std::fflush(b.target.file) != 0)
        return b.FailWrite();
    b.ReleaseBuffer();
    std::fclose(b.stub);
    b.stub = nullptr;
    return TargetBuildDone;
}

// Enciphers length bytes held at the front of data (which has room for the
// padded length; bytes past length become zeros) and writes the first
// length bytes of the result.
bool WriteSection(BuildState& b, unsigned char* data, uint32_t length)
{
    PackageCipher cipher(PackageKey);
    cipher.EncipherBuffer(data, length, data);
    return b.Write(data, length);
}

TargetBuildResult AppendPackage(BuildState& b)
{
    b.Say(StatusAboutBox);
    const std::string record = ComposePackageInfoRecord(b.request.settings);
    const uint32_t recordLength = static_cast<uint32_t>(record.size());

    b.Say(StatusFileInfo);
    unsigned char header[8];
    WriteLe32(header, b.storedLength);
    WriteLe32(header + 4, recordLength);
    if (!b.Write(header, sizeof header))
        return b.FailWrite();

    // The picture is read straight into the buffer that is enciphered in
    // place, so a picture needs its padded size in memory once, not twice.
    b.Say(StatusPicture);
    if (!b.pictureLoaded) {
        std::string reason;
        if (const char* error = LoadPicture(b, &reason))
            return b.Fail(error, reason.empty() ? std::string() : b.request.picturePath, reason);
    }
    // Zero bytes after the file's own ones fill a padded length.
    std::memset(b.pictureData + b.pictureLength, 0, b.storedLength - b.pictureLength);
    if (!WriteSection(b, b.pictureData, b.storedLength))
        return b.FailWrite();
    std::free(b.pictureData);
    b.pictureData = nullptr;

    b.buffer = b.Allocate(PackageCipher::PaddedLength(recordLength));
    if (!b.buffer)
        return b.Fail(ErrorMemory);
    record.copy(reinterpret_cast<char*>(b.buffer), recordLength);
    if (!WriteSection(b, b.buffer, recordLength))
        return b.FailWrite();
    b.ReleaseBuffer();
    return TargetBuildDone;
}

// The checks made before anything is opened for writing.
TargetBuildResult CheckRequest(BuildState& b)
{
    const TargetBuildRequest& r = b.request;
    if (AboutTextsHoldSeparator(r.settings))
        return b.Fail(ErrorSeparator);
    if (r.settings.gridSize < MinGridSize)
        return b.Fail(ErrorGridSize);
    if (r.targetPath.empty())
        return b.Fail(ErrorCreateTarget, std::string(), "no target path given", TargetNotOpened);
    // Writing the target must never destroy one of the inputs.
    if (SameExistingFile(r.targetPath.c_str(), r.picturePath.c_str()))
        return b.Fail(ErrorTargetIsPicture);
    if (SameExistingFile(r.targetPath.c_str(), r.stubPath.c_str()))
        return b.Fail(ErrorTargetIsStub);
    // The picture is read and checked now when it can be opened; one that
    // cannot is reported in its place in the build.
    if (r.pictureCheck) {
        std::string reason;
        const char* error = OpenPicture(b, &reason);
        if (error && error != ErrorNoPicture)
            return b.Fail(error, r.picturePath, reason);
        if (!error) {
            error = LoadPicture(b, &reason);
            if (error)
                return b.Fail(error, reason.empty() ? std::string() : r.picturePath, reason);
            if (!r.pictureCheck(b.pictureData, b.pictureLength))
                return b.Fail(ErrorNotPicture, r.picturePath);
        }
    }
    return TargetBuildDone;
}

// Closes the finished target and moves it into place.
TargetBuildResult CommitTarget(BuildState& b)
{
    std::string reason;
    if (std::fflush(b.target.file) != 0)
        return b.FailWrite();
    switch (CommitTargetFile(b.target, &reason)) {
    case TargetCommitted:
        break;
    case TargetCloseFailed:
        return b.Fail(ErrorWrite, b.request.targetPath, reason);
    case TargetMoveFailed:
        return b.Fail(ErrorCreateTarget, b.request.targetPath, reason);
    }
    b.Say(StatusDone);
    return TargetBuildDone;
}

// A web page takes the place of the stub and the package: the picture is
// read as for a program, and the page written from it.
TargetBuildResult WriteWebPageTarget(BuildState& b)
{
    const TargetBuildRequest& r = b.request;
    std::string reason;
    b.Say(StatusOpenPicture);
    if (!b.pictureLoaded) {
        const char* error = OpenPicture(b, &reason);
        if (!error)
            error = LoadPicture(b, &reason);
        if (error)
            return b.Fail(error, reason.empty() ? std::string() : r.picturePath, reason);
    }
    WebPageOutcome outcome;
    switch (WriteWebPage(r.settings, b.pictureData, b.pictureLength, b.target.file, b.status, &outcome)) {
    case WebPageWritten:
        return CommitTarget(b);
    case WebPageNotPicture:
        return b.Fail(ErrorNotPicture, r.picturePath, outcome.reason);
    case WebPageWriteFailed:
        return b.FailWrite();
    case WebPageFailed:
        break;
    }
    return b.Fail(outcome.status, outcome.aboutPicture ? r.picturePath : std::string(), outcome.reason);
}

TargetBuildResult RunBuild(BuildState& b)
{
    const TargetBuildRequest& r = b.request;
    const TargetBuildResult checked = CheckRequest(b);
    if (checked != TargetBuildDone)
        return checked;
    const bool webPage = IsWebPageTarget(r.targetPath);
    if (webPage) {
        if (const char* refusal = RefuseWebPageSettings(r.settings))
            return b.Fail(refusal);
    }

    std::string reason;
    if (!OpenTargetFile(r.targetPath, b.target, &reason))
        return b.Fail(ErrorCreateTarget, r.targetPath, reason, TargetNotOpened);
    if (webPage)
        return WriteWebPageTarget(b);

    b.Say(StatusCreatingStub);
    b.stub = OpenFileForReading(r.stubPath.c_str());
    if (!b.stub)
        return b.Fail(ErrorNoStub, r.stubPath, OpenErrorText());
    if (CopyStub(b) != TargetBuildDone)
        return TargetBuildFailed;
    b.Say(StatusDone);

    b.Say(StatusOpenPicture);
    if (!b.pictureLoaded) {
        if (const char* error = OpenPicture(b, &reason))
            return b.Fail(error, r.picturePath, reason);
    }
    if (AppendPackage(b) != TargetBuildDone)
        return TargetBuildFailed;
    return CommitTarget(b);
}

}  // namespace

TargetBuildResult BuildTarget(const TargetBuildRequest& request, const BuildStatusSink& status,
                              TargetBuildFailure* failure)
{
    if (failure)
        *failure = TargetBuildFailure();
    BuildState state(request, status, failure);
    try {
        return RunBuild(state);
    } catch (const std::bad_alloc&) {
        return state.Fail(ErrorMemory);
    }
}
