#ifndef LINKMAP_NETWORK_LINKLOG
#define LINKMAP_NETWORK_LINKLOG 1

#include <cstdio>
#include <future>
#include <string>

/** Writes the line that announces each link, exactly as printf would format it, a large block at a time. */
class LinkLog
{
public:
    /** Writes to out, which stays open and owned by the caller. */
    explicit LinkLog(std::FILE* out = stdout);

    /** Writes what is still held. */
    ~LinkLog();

    LinkLog(const LinkLog&) = delete;
    LinkLog& operator=(const LinkLog&) = delete;

    /** Adds "Creating link between FIRST and SECOND with weight W": the names up to their first NUL, as %s
     *  prints them, each byte that is no character of UTF-8 or a control character but a tab written as
     *  U+FFFD; and the weight as %f prints it, every digit of it. */
    void write(const std::string& first, const std::string& second, double weight);

    /** Hands what is held to the stream, so that lines written there by others come after it. */
    void flush();

private:
    std::FILE* out;
    std::string block;
};

class CorrelationNetwork;

/** Logs every link of network, in its order, on out: each weight as its file wrote it where the network
 *  keeps that. */
void logLinks(const CorrelationNetwork& network, std::FILE* out = stdout);

/** Starts logging every link of network on standard output, on a thread of its own, while the caller goes on;
 *  without a thread to spare, the links are logged when the future is waited for. */
std::future<void> logLinksMeanwhile(const CorrelationNetwork& network);

#endif
