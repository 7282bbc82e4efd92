#ifndef LINKMAP_NETWORK_CONTENTFORMAT
#define LINKMAP_NETWORK_CONTENTFORMAT 1

#include <network/InputFormat.h>

#include <string>

/** The format a network file's content shows, for a file whose name does not tell it. */
struct ContentFormat
{
    /** Groups when nothing else fits: a group file's site names have letters. */
    InputFormat format = InputFormat::Groups;

    /** What the content was seen to hold, for the note that names the reading taken ("holds only numbers");
     *  empty for a group file. */
    std::string holds;
};

/** Looks at the first 64 KiB of the file at path (more, up to 16 MiB, until three lines are whole), as text
 *  through zlib when it is gzip:
 *  - numpy's magic string is a .npy matrix; `<?xml` or `<graphml` is GraphML;
 *  - lines of numbers only, a table of numbers under a quoted header with quoted row names (R's write.table),
 *    or lines of a fixed number of columns that begin with whole numbers under at most one header line, are a
 *    table; blank lines and lines that begin with # are passed over;
 *  - anything else that is text is a group file.
 *  Standard input is not looked at: it is a group file. Throws InputError for binary content, naming the file
 *  and what it looks like. */
ContentFormat formatOfContent(const std::string& path);

/** The note that says which reading the content chose and how to choose another. */
std::string contentNote(const std::string& path, const ContentFormat& content, InputFormat taken);

#endif
