#ifndef LINKMAP_FUZZ_FUZZINPUT
#define LINKMAP_FUZZ_FUZZINPUT 1

#include <network/CorrelationNetwork.h>

#include <cstddef>
#include <cstdint>
#include <string>

/** Puts one fuzz input into an in-memory file and returns a path that opens it from its start. */
std::string writeFuzzInput(const std::uint8_t* data, std::size_t size);

/** Every target starts by sending standard output, where the readers warn, to /dev/null, so that the
 *  fuzzer's own log stays readable: FuzzInput.cpp defines LLVMFuzzerInitialize for them all. */
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

/** Aborts unless network is a sound record: every site named once, found by its name and standing on one
 *  ring, and every link joining two sites. */
void checkNetworkRecord(const CorrelationNetwork& network);

#endif
