#include <network/LineReader.h>
#include <network/TextFields.h>
#include <network/ValidText.h>

#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace
{

const std::size_t blockSize = 64 * 1024;

// A compressed file seen through a FILE, so that every reader takes it as it takes a plain one.
ssize_t readCompressed(void* cookie, char* buffer, std::size_t size)
{
    const gzFile compressed = static_cast<gzFile>(cookie);
    const int count = gzread(compressed, buffer, static_cast<unsigned>(size));
    // A stream that ends before its end ends reading with nothing more, and zlib says why only when asked.
    int error = Z_OK;
    if (count < 0 || (count == 0 && (gzerror(compressed, &error), error != Z_OK)))
    {
        errno = damagedStream;
        return -1;
    }
    return count;
}

int closeCompressed(void* cookie)
{
    return gzclose(static_cast<gzFile>(cookie)) == Z_OK ? 0 : EOF;
}

} // namespace

LineReader::LineReader(std::FILE* file_, std::size_t maximumLength_)
    : file(file_), maximumLength(maximumLength_), buffer(blockSize)
{
}

bool LineReader::fill()
{
    if (failed)
        return false;
    // Keep the unread text, then append a block behind it.
    if (begin > 0)
    {
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        end -= begin;
        begin = 0;
    }
    if (buffer.size() - end < blockSize)
        buffer.resize(end + blockSize);
    const std::size_t count = std::fread(buffer.data() + end, 1, blockSize, file);
    end += count;
    if (count == 0 && std::ferror(file))
    {
        failed = true;
        errorNumber = errno;
    }
    return count > 0;
}

LineReader::Status LineReader::readLine(std::string& line)
{
    std::size_t scanned = 0; // bytes of this line already searched for its newline
    for (;;)
    {
        const char* text = buffer.data() + begin;
        const void* newline = std::memchr(text + scanned, '\n', end - begin - scanned);
        if (newline != nullptr)
        {
            const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(newline) - text);
            if (length > maximumLength)
                return Status::TooLong;
            line.assign(text, length);
            begin += length + 1;
            break;
        }
        scanned = end - begin;
        if (scanned > maximumLength)
            return Status::TooLong;
        if (!fill())
        {
            if (failed)
                return Status::ReadError;
            if (begin == end)
                return Status::End;
            // The last line has no newline: it is still a line.
            line.assign(buffer.data() + begin, end - begin);
            begin = end;
            break;
        }
    }
    ++lines;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return Status::Line;
}

bool LineReader::reportEnd(Status status, const std::string& path) const
{
    switch (status)
    {
    case Status::ReadError:
        std::printf("Error: could not read %s after line %zu: %s; the rest of the file is ignored\n",
                    path.c_str(), lines, std::strerror(errorNumber));
        return false;
    case Status::TooLong:
        std::printf("Error: line %zu of %s is longer than %zu bytes; the rest of the file is ignored\n",
                    lines + 1, path.c_str(), maximumLength);
        return false;
    default:
        return true;
    }
}

std::string inputName(const std::string& path)
{
    return path == "-" ? "standard input" : validText(path);
}

bool isDirectoryPath(const std::string& path)
{
    struct stat status;
    return path != "-" && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isCompressedName(const std::string& path)
{
    return endsWithCaseless(path, ".gz");
}

std::string uncompressedName(const std::string& path)
{
    return isCompressedName(path) ? path.substr(0, path.size() - 3) : path;
}

bool isCompressedFile(const std::string& path)
{
    if (path == "-")
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    unsigned char magic[2] = {0, 0};
    const bool compressed = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
    std::fclose(file);
    return compressed;
}

std::string readFailure(const std::string& path, int errorNumber)
{
    if (errorNumber == damagedStream)
        return "Error: " + inputName(path) + " is a gzip stream that is cut short or damaged";
    return "Error: could not read " + inputName(path) + ": " + std::strerror(errorNumber);
}

double plainFileSize(const std::string& path)
{
    struct stat status;
    if (path == "-" || isCompressedFile(path) || stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return 0.0;
    return static_cast<double>(status.st_size);
}

std::FILE* openInput(const std::string& path)
{
    if (path == "-")
        return stdin;
    if (!isCompressedFile(path))
        return std::fopen(path.c_str(), "r");
    const gzFile compressed = gzopen(path.c_str(), "rb");
    if (compressed == nullptr)
        return nullptr;
    gzbuffer(compressed, 256 * 1024);
    std::FILE* file = fopencookie(compressed, "r",
                                  cookie_io_functions_t{readCompressed, nullptr, nullptr, closeCompressed});
    if (file == nullptr)
        gzclose(compressed);
    return file;
}

void closeInput(std::FILE* file, const std::string& path)
{
    if (path != "-")
        std::fclose(file);
}

std::string readWholeText(const std::string& path)
{
    OpenedInput input(path);
    std::FILE* file = input.get();
    if (file == nullptr)
        throw InputError("Error: cannot open " + inputName(path));
    std::string text;
    char block[64 * 1024];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0)
        text.append(block, count);
    const bool failed = std::ferror(file) != 0;
    const int errorNumber = errno;
    input.close();
    if (failed)
        throw InputError(readFailure(path, errorNumber));
    return text;
}
