// An image's directory tree loaded by libisofs from blocks we hand it: a file read with pread, or bytes in
// memory. The block reads are ours, so a truncated image, a tree that reads far more blocks than an image
// can hold (a folder that contains itself) and a cancel all end the load with a reason of our own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "disc/disc_image.h"
#include "listing/failure.h"

struct iso_data_source;
struct Iso_Image;
struct Iso_File;
struct iso_read_image_features;
struct iso_read_opts;

class CIsoImport {
public:
    // Which names the loaded tree has.
    enum class Names {
        Preferred,  // Rock Ridge, else Joliet, else ISO 9660 without the version
        Iso9660Raw, // the ISO 9660 names as recorded, version included
        JolietRaw,  // the Joliet names as recorded, version included (none when there is no Joliet tree)
    };

    // Opens the image file; Error() tells why when it cannot be opened.
    CIsoImport(const std::string& imagePath, DiscKeepGoing keepGoing, Names names = Names::Preferred);
    explicit CIsoImport(std::string_view imageBytes);
    ~CIsoImport();
    CIsoImport(const CIsoImport&) = delete;
    CIsoImport& operator=(const CIsoImport&) = delete;

    // Loads the tree. False with Error() set when the image cannot be read.
    bool Load();

    // Calls visit for every regular file of the loaded tree with its path ("/FOLDER/NAME"), folders in
    // name order, each folder's files before its subfolders' files; stops at the first failure visit
    // returns and returns it. A folder the engine cannot list, a name with a line break, a name "." or
    // "..", and a path longer than a file system takes also stop the walk, with a failure naming the path.
    CResult<void> ForEachFile(const std::function<CResult<void>(Iso_File*, const std::string&)>& visit) const;

    // Appends the extents of one file of the loaded tree. A failure when the engine cannot give them or one
    // lies past the end of the image (whose data would be read, or written, as zeros).
    CResult<void> AddFileExtents(Iso_File* file, const std::string& path, std::vector<DiscExtent>& out) const;

    Iso_Image* Image() const { return m_pImage; }
    iso_read_image_features* Features() const { return m_pFeatures; }
    // Whole blocks of 2048 bytes the image holds.
    std::uint64_t BlockCount() const { return m_nBlocks; }
    const std::string& Error() const { return m_strError; }

    // Why the last libisofs call failed: its queued messages, else the text of its code.
    static std::string EngineReason(int code);
    // The engine's queued messages of severity SORRY and above, joined by "; "; the queue is emptied.
    static std::string QueuedMessages();

private:
    struct Source;
    bool Open();
    static Source& SourceOf(iso_data_source* src);
    int ImportOnDeepStack(iso_read_opts* opts);
    static int ReadBlock(iso_data_source* src, std::uint32_t lba, std::uint8_t* buffer);

    std::string m_strPath;
    std::string_view m_bytes;
    bool m_bFromFile = false;
    Names m_names = Names::Preferred;
    int m_fd = -1;
    std::uint64_t m_nBlocks = 0;
    std::uint64_t m_nReads = 0;
    const char* m_pStackBase = nullptr; // the start of the stack the engine loads the tree on
    bool m_bTreeLoaded = false;
    std::uint64_t m_nRereadsInARow = 0;
    std::unordered_set<std::uint32_t> m_seenBlocks;
    std::vector<std::uint8_t> m_cache; // blocks read ahead from the file
    std::uint64_t m_nCacheFirst = 0;
    std::uint64_t m_nCacheBlocks = 0;
    DiscKeepGoing m_keepGoing;
    std::string m_strError;
    iso_data_source* m_pSource = nullptr;
    Iso_Image* m_pImage = nullptr;
    iso_read_image_features* m_pFeatures = nullptr;
};

// Starts libisofs once for the process: UTF-8 as the local character set, messages queued, none printed.
void InitIsofs();
