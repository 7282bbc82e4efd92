#include <network/LineReader.h>
#include <network/MatrixTriangle.h>
#include <network/NetworkReader.h>
#include <network/SiteNames.h>
#include <network/ValidText.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace
{

// The kinds of number an array may hold: numpy's descr, "<f8" and the like.
struct ItemType
{
    char kind = 'f';      // f, i or u
    std::size_t size = 8; // bytes
    bool swapped = false; // in the other byte order than this machine's
};

// An array's header, as numpy's format writes it: a Python dict literal of exactly three keys.
struct ArrayHeader
{
    ItemType type;
    bool fortranOrder = false;
    std::vector<unsigned long long> shape;
};

// Text of the header for a message: at most 20 characters, each that is not printable shown as '?'.
std::string shown(const std::string& text)
{
    std::string printable = text.substr(0, 20);
    for (char& c : printable)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            c = '?';
    return printable;
}

class HeaderParser
{
public:
    HeaderParser(const std::string& text_, const std::string& shownName_) : text(text_), shownName(shownName_)
    {
    }

    ArrayHeader parse()
    {
        ArrayHeader header;
        bool descr = false, order = false, shape = false;
        expect('{');
        while (!take('}'))
        {
            const std::string key = quoted();
            expect(':');
            if (key == "descr" && !descr)
            {
                descr = true;
                header.type = itemType(quoted());
            }
            else if (key == "fortran_order" && !order)
            {
                order = true;
                header.fortranOrder = boolean();
            }
            else if (key == "shape" && !shape)
            {
                shape = true;
                header.shape = tuple();
            }
            else
                refuse("has the key '" + shown(key) + "', which no array of numbers has");
            if (!take(','))
            {
                expect('}');
                break;
            }
        }
        skipBlanks();
        if (at != text.size() || !descr || !order || !shape)
            refuse("is not numpy's header of an array");
        return header;
    }

private:
    [[noreturn]] void refuse(const std::string& why) const
    {
        throw InputError("Error: the header of " + shownName + " " + why);
    }

    void skipBlanks()
    {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\n'))
            ++at;
    }

    bool take(char wanted)
    {
        skipBlanks();
        if (at < text.size() && text[at] == wanted)
        {
            ++at;
            return true;
        }
        return false;
    }

    void expect(char wanted)
    {
        if (!take(wanted))
            refuse("is not numpy's header of an array");
    }

    std::string quoted()
    {
        skipBlanks();
        if (at >= text.size() || (text[at] != '\'' && text[at] != '"'))
            refuse("is not numpy's header of an array");
        const char mark = text[at++];
        const std::size_t end = text.find(mark, at);
        if (end == std::string::npos)
            refuse("is not numpy's header of an array");
        const std::string value = text.substr(at, end - at);
        at = end + 1;
        return value;
    }

    bool boolean()
    {
        skipBlanks();
        for (const auto& [word, value] : {std::pair{"True", true}, std::pair{"False", false}})
            if (text.compare(at, std::strlen(word), word) == 0)
            {
                at += std::strlen(word);
                return value;
            }
        refuse("is not numpy's header of an array");
    }

    std::vector<unsigned long long> tuple()
    {
        std::vector<unsigned long long> sizes;
        expect('(');
        while (!take(')'))
        {
            skipBlanks();
            const std::size_t start = at;
            unsigned long long size = 0;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 12)
                size = size * 10 + static_cast<unsigned long long>(text[at++] - '0');
            if (at == start)
                refuse("is not numpy's header of an array");
            sizes.push_back(size);
            if (!take(','))
            {
                expect(')');
                break;
            }
        }
        return sizes;
    }

    ItemType itemType(const std::string& descr) const
    {
        ItemType type;
        const bool littleMachine = [] {
            const std::uint16_t one = 1;
            unsigned char first = 0;
            std::memcpy(&first, &one, 1);
            return first == 1;
        }();
        // Each character one of a few (a NUL, which strchr would find, is none of them).
        const auto oneOf = [](std::string_view choices, char c) {
            return choices.find(c) != std::string_view::npos;
        };
        const bool known =
            descr.size() == 3 && oneOf("<>|=", descr[0]) && oneOf("fiu", descr[1]) && oneOf("1248", descr[2]);
        if (known)
        {
            type.kind = descr[1];
            type.size = static_cast<std::size_t>(descr[2] - '0');
            type.swapped =
                type.size > 1 && descr[0] != '|' && descr[0] != '=' && (descr[0] == '<') != littleMachine;
        }
        if (!known || (type.kind == 'f' && type.size < 4) || (descr[0] == '|' && type.size > 1))
            refuse("says it holds '" + shown(descr) +
                   "', not float64, float32 or integers, the numbers linkmap reads");
        return type;
    }

    const std::string& text;
    const std::string& shownName;
    std::size_t at = 0;
};

template <typename Number> double as(const unsigned char* item)
{
    Number value;
    std::memcpy(&value, item, sizeof value);
    return static_cast<double>(value);
}

// The value of one item, read in its byte order.
double itemValue(const unsigned char* bytes, const ItemType& type)
{
    unsigned char item[8];
    for (std::size_t i = 0; i < type.size; ++i)
        item[i] = bytes[type.swapped ? type.size - 1 - i : i];
    const bool whole = type.kind != 'f';
    const bool sign = type.kind == 'i';
    switch (type.size)
    {
    case 1:
        return sign ? as<std::int8_t>(item) : as<std::uint8_t>(item);
    case 2:
        return sign ? as<std::int16_t>(item) : as<std::uint16_t>(item);
    case 4:
        return !whole ? as<float>(item) : sign ? as<std::int32_t>(item) : as<std::uint32_t>(item);
    default:
        return !whole ? as<double>(item) : sign ? as<std::int64_t>(item) : as<std::uint64_t>(item);
    }
}

// Reads an array's items in their order in the file, a block at a time, without holding them all.
class ItemStream
{
public:
    ItemStream(std::FILE* file_, const std::string& path_, const ItemType& type_)
        : file(file_), path(path_), type(type_), block(65536 - 65536 % type_.size)
    {
    }

    // Reads up to count items into values; returns how many the file still held.
    std::size_t read(double* values, std::size_t count)
    {
        std::size_t done = 0;
        while (done < count)
        {
            const std::size_t wanted = std::min(block.size() / type.size, count - done);
            const std::size_t got = std::fread(block.data(), type.size, wanted, file);
            if (std::ferror(file))
                throw InputError(readFailure(path, errno));
            if (!type.swapped && type.kind == 'f' && type.size == sizeof(double))
                std::memcpy(values + done, block.data(), got * sizeof(double));
            else
                for (std::size_t at = 0; at < got; ++at)
                    values[done + at] = itemValue(block.data() + at * type.size, type);
            done += got;
            if (got < wanted || got == 0)
                break;
        }
        return done;
    }

    // Whether the file holds anything after the items read.
    bool more()
    {
        return std::fgetc(file) != EOF;
    }

private:
    std::FILE* file;
    const std::string& path;
    const ItemType& type;
    std::vector<unsigned char> block;
};

// What reading a matrix's cells found: its links under the minimum, the names the sequence gave, and a
// warning, naming it, when it was not symmetric.
ImportReport matrixReport(const MatrixTriangle& triangle, const SiteNamer& namer, const std::string& name)
{
    triangle.warnIfAsymmetric(name);
    ImportReport report;
    report.format = InputFormat::Matrix;
    report.belowMinimum = triangle.belowMinimum();
    namer.tell(report);
    return report;
}

} // namespace

ImportReport readNpyFile(const std::string& path, const ReadSettings& settings, CorrelationNetwork& network,
                         LoadProgress& progress)
{
    const std::string shownName = inputName(path);
    OpenedInput input(path);
    if (input.get() == nullptr)
        throw InputError("Error: cannot open " + shownName);

    // The magic string, the version and the header's length: two bytes in version 1, four in 2 and 3.
    unsigned char start[12];
    if (std::fread(start, 1, 10, input.get()) != 10 || std::memcmp(start, "\x93NUMPY", 6) != 0 ||
        start[6] < 1 || start[6] > 3)
        throw InputError("Error: " + shownName + " is not an array as numpy's save writes it");
    std::size_t headerLength = start[8] | std::size_t(start[9]) << 8;
    if (start[6] > 1)
    {
        if (std::fread(start + 10, 1, 2, input.get()) != 2)
            throw InputError("Error: " + shownName + " is not an array as numpy's save writes it");
        headerLength |= std::size_t(start[10]) << 16 | std::size_t(start[11]) << 24;
    }
    if (headerLength > 65536)
        throw InputError("Error: the header of " + shownName + " is longer than numpy writes one");
    std::string text(headerLength, '\0');
    if (std::fread(text.data(), 1, headerLength, input.get()) != headerLength)
        throw InputError("Error: " + shownName + " ends within its header");
    const ArrayHeader header = HeaderParser(text, shownName).parse();

    if (header.shape.size() != 2)
        throw InputError("Error: " + shownName + " holds an array of " + std::to_string(header.shape.size()) +
                         " dimensions; a matrix has 2");
    const unsigned long long size = header.shape[0];
    if (size > 0xffffffffull)
        throw InputError("Error: " + shownName + " holds an array of " + std::to_string(size) +
                         " rows, more than linkmap can number");
    if (header.shape[1] != size)
        throw InputError("Error: " + shownName + " holds an array of " + std::to_string(size) + " rows of " +
                         std::to_string(header.shape[1]) + " values; a matrix must be square");

    // The items, row by row, a part of a row at a time; an array in Fortran's order is the transposed
    // matrix's rows, so it is gathered first, as far as the file holds it.
    const SiteNamer namer(settings);
    MatrixTriangle triangle(network, settings.minimumWeight);
    ItemStream items(input.get(), path, header.type);
    const auto cutShort = [&] {
        return InputError("Error: " + shownName + " ends before the " + std::to_string(size) + " × " +
                          std::to_string(size) + " values its header gives");
    };
    std::vector<double> part(static_cast<std::size_t>(std::min<unsigned long long>(size, 8192)));
    std::vector<double> columnsFirst;
    if (header.fortranOrder)
        for (unsigned long long count = 0; count < size * size; count += part.size())
        {
            const auto wanted =
                static_cast<std::size_t>(std::min<unsigned long long>(part.size(), size * size - count));
            if (items.read(part.data(), wanted) != wanted)
                throw cutShort();
            columnsFirst.insert(columnsFirst.end(), part.begin(),
                                part.begin() + static_cast<std::ptrdiff_t>(wanted));
        }
    for (unsigned long long row = 0; row < size; ++row)
    {
        progress.update("reading the array", static_cast<double>(row) / static_cast<double>(size));
        network.addSite(namer.nameOfRow(static_cast<std::size_t>(row)));
        triangle.beginRow();
        for (unsigned long long column = 0; column < size;)
        {
            const auto count =
                static_cast<std::size_t>(std::min<unsigned long long>(part.size(), size - column));
            if (header.fortranOrder)
                for (std::size_t at = 0; at < count; ++at)
                    part[at] = columnsFirst[(column + at) * size + row];
            else if (items.read(part.data(), count) != count)
                throw cutShort();
            for (std::size_t at = 0; at < count; ++at)
            {
                if (std::isinf(part[at]))
                    throw InputError("Error: " + shownName + " holds an infinite value at row " +
                                     std::to_string(row + 1) + ", column " + std::to_string(column + at + 1));
                triangle.cell(row, column + at, part[at]);
            }
            column += count;
        }
    }
    if (items.more())
        throw InputError("Error: " + shownName + " holds more than the " + std::to_string(size) + " × " +
                         std::to_string(size) + " values its header gives");
    return matrixReport(triangle, namer, shownName);
}

ImportReport readMatrixArray(const MatrixArray& array, const std::string& name, const ReadSettings& settings,
                             CorrelationNetwork& network, LoadProgress& progress)
{
    if (array.size > 0xffffffffull)
        throw InputError("Error: " + name + " has " + std::to_string(array.size) +
                         " rows, more than linkmap can number");
    if (!array.names.empty() && array.names.size() != array.size)
        throw InputError("Error: " + name + " has " + std::to_string(array.size) + " rows and " +
                         std::to_string(array.names.size()) + " names");
    if (!array.names.empty())
    {
        std::vector<std::string> sorted = array.names;
        std::sort(sorted.begin(), sorted.end());
        const auto twice = std::adjacent_find(sorted.begin(), sorted.end());
        if (twice != sorted.end())
            throw InputError("Error: " + name + " names two rows " + validText(*twice));
    }
    const SiteNamer namer(settings);
    MatrixTriangle triangle(network, settings.minimumWeight);
    const auto* first = static_cast<const unsigned char*>(array.data);
    for (std::size_t row = 0; row < array.size; ++row)
    {
        progress.update("reading the array", static_cast<double>(row) / static_cast<double>(array.size));
        network.addSite(array.names.empty() ? namer.nameOfRow(row) : validText(array.names[row]));
        triangle.beginRow();
        const unsigned char* cells = first + static_cast<std::ptrdiff_t>(row) * array.rowStep;
        for (std::size_t column = 0; column < array.size; ++column)
        {
            const unsigned char* cell = cells + static_cast<std::ptrdiff_t>(column) * array.columnStep;
            double value = 0.0;
            if (array.singlePrecision)
            {
                float single = 0.0f;
                std::memcpy(&single, cell, sizeof single);
                value = single;
            }
            else
                std::memcpy(&value, cell, sizeof value);
            if (std::isinf(value))
                throw InputError("Error: " + name + " holds an infinite value at row " +
                                 std::to_string(row + 1) + ", column " + std::to_string(column + 1));
            triangle.cell(row, column, value);
        }
    }
    return matrixReport(triangle, namer, name);
}
