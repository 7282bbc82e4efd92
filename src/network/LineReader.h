#ifndef LINKMAP_NETWORK_LINEREADER
#define LINKMAP_NETWORK_LINEREADER 1

#include <network/InputError.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

/** Reads an open text file one whole line at a time, whatever the line's length, up to a cap. */
class LineReader
{
public:
    /** What a call of readLine found. */
    enum class Status
    {
        Line,      ///< a line was read
        End,       ///< the end of the file, with no further text
        ReadError, ///< the file could not be read further
        TooLong    ///< a line is longer than the cap; nothing of it was returned
    };

    /** The default cap on the length of one line: 64 MiB. */
    static constexpr std::size_t defaultMaximumLength = std::size_t(64) << 20;

    /** Reads from file, which stays open and owned by the caller. */
    explicit LineReader(std::FILE* file, std::size_t maximumLength = defaultMaximumLength);

    /** Reads the next line into line, without its newline and without a carriage return that ends it. */
    Status readLine(std::string& line);

    /** The number of lines returned so far. */
    std::size_t lineNumber() const
    {
        return lines;
    }

    /** The errno of the read that failed, once readLine has returned ReadError. */
    int error() const
    {
        return errorNumber;
    }

    /** Prints one line on standard output for a status that ended reading early; returns false then. */
    bool reportEnd(Status status, const std::string& path) const;

private:
    bool fill();

    std::FILE* file;
    std::size_t maximumLength;
    std::vector<char> buffer;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t lines = 0;
    bool failed = false;
    int errorNumber = 0;
};

/** How messages call the input at path: "standard input" for "-", else the path itself, as valid UTF-8. */
std::string inputName(const std::string& path);

/** Whether path names a directory: something that opens, yet is no file to read. */
bool isDirectoryPath(const std::string& path);

/** Whether the file at path is compressed: its name ends in .gz, in any case. */
bool isCompressedName(const std::string& path);

/** The errno of a read of a gzip stream that ends before its end or fails its check. */
constexpr int damagedStream = EBADMSG;

/** Whether the file at path begins with gzip's magic bytes, whatever its name. */
bool isCompressedFile(const std::string& path);

/** The one line that refuses a file whose read failed with errorNumber. */
std::string readFailure(const std::string& path, int errorNumber);

/** The name of the file at path without a .gz ending, which tells the format of what it holds. */
std::string uncompressedName(const std::string& path);

/** The size in bytes of the file at path, for telling how far reading it has come; 0 when that cannot be
 *  told: standard input, a compressed file, anything but a regular file. */
double plainFileSize(const std::string& path);

/** Opens the file at path for reading: "-" is standard input, and a file that begins with gzip's magic bytes
 *  is read through zlib as the text it holds. Null when it cannot be opened. */
std::FILE* openInput(const std::string& path);

/** Closes a file that openInput opened; standard input stays open. */
void closeInput(std::FILE* file, const std::string& path);

/** A file that openInput opened, closed by closeInput when it goes, however reading ends: also when a reader
 *  throws. */
class OpenedInput
{
public:
    explicit OpenedInput(const std::string& name) : path(name), file(openInput(name)) {}
    ~OpenedInput()
    {
        close();
    }
    OpenedInput(const OpenedInput&) = delete;
    OpenedInput& operator=(const OpenedInput&) = delete;

    /** The stream; null when the file could not be opened, or once it is closed. */
    std::FILE* get() const
    {
        return file;
    }

    /** Closes it now, before it goes. */
    void close()
    {
        if (file != nullptr)
            closeInput(file, path);
        file = nullptr;
    }

private:
    std::string path;
    std::FILE* file;
};

/** The whole content of the file at path, through zlib when it is gzip. Throws InputError when it cannot be
 *  opened or read. */
std::string readWholeText(const std::string& path);

/** Opens the file at path as text (as openInput does) and calls visit(line, lineNumber) for each of its
 *  lines, then reports on standard output a read that ended early; false when the file cannot be opened.
 *  Throws InputError for a gzip stream that is cut short or damaged, whose lines read so far would show
 *  less than the file holds. */
template <typename Visitor> bool readTextLines(const std::string& path, Visitor&& visit)
{
    OpenedInput input(path);
    if (input.get() == nullptr)
        return false;
    LineReader reader(input.get());
    std::string line;
    LineReader::Status status;
    while ((status = reader.readLine(line)) == LineReader::Status::Line)
        visit(line, reader.lineNumber());
    input.close();
    if (status == LineReader::Status::ReadError && reader.error() == damagedStream)
        throw InputError(readFailure(path, reader.error()));
    reader.reportEnd(status, inputName(path));
    return true;
}

#endif
