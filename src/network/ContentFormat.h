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

    /** What the look saw of a table's layout. */
    TableLayout layout = TableLayout::AsRowsTell;
};

/** Looks at the first 64 KiB of the file at path (more, up to 16 MiB, until three lines are whole), as text
 *  through zlib when it is gzip:
 *  - numpy's magic string is a .npy matrix; `<?xml` or `<graphml` is GraphML; `{` or `[` is JSON;
 *  - GML, Pajek, LGL and CASP's RR format by their first lines, and networkx's adjacency list by its header;
 *  - lines of numbers only, tables of numbers under a header with named rows (R's write.table), lines of a
 *    fixed number of columns that begin with site numbers, lines of cells between commas, semicolons or tabs,
 *    networkx's edge list with data, and two sites a line without a weight are a table; blank lines and
 *    lines that begin with # are passed over;
 *  - text is a group file only when nearly all its lines are group lines: site names, then one number for
 *    each pair of them.
 *  Standard input is not looked at: it is a group file. Throws InputError, naming the file and what it looks
 *  like, for binary content, a Graphviz DOT graph, a region list, and any other text. */
ContentFormat formatOfContent(const std::string& path);

/** Whether a region list at path is HyPhy's JSON rather than ranges of site numbers. Throws InputError,
 *  naming the file and what it looks like, for content that is neither: binary data, GraphML, a matrix or
 *  a pair list. */
bool isJsonRegionList(const std::string& path);

/** The note that says which reading the content chose and how to choose another. */
std::string contentNote(const std::string& path, const ContentFormat& content, InputFormat taken);

#endif
