#ifndef LINKMAP_FUZZ_FUZZINPUT
#define LINKMAP_FUZZ_FUZZINPUT 1

#include <network/CorrelationNetwork.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/** Puts one fuzz input into an in-memory file and returns a path that opens it from its start. */
std::string writeFuzzInput(const std::uint8_t* data, std::size_t size);

/** Every target starts by sending standard output, where the readers warn and the log is written, into a file
 *  in memory, so that the fuzzer's own log stays readable and what was written can be checked:
 *  FuzzInput.cpp defines LLVMFuzzerInitialize for them all. */
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

/** Aborts unless text is valid UTF-8 with no control character but newlines and tabs, as everything the
 *  program writes must be. */
void checkText(std::string_view text);

/** Checks what standard output was given since the last call, as checkText does, and empties it. */
void checkWrittenText();

/** Aborts unless network is a sound record: every site named once, found by its name and standing on one
 *  ring, and every link joining two sites. */
void checkNetworkRecord(const CorrelationNetwork& network);

#endif
