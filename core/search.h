// The search core: the pair of files, the report's fixed lines, the five
// search modes and their dispatch. Everything runs on the caller's thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "clock.h"
#include "message_sink.h"
#include "report.h"
#include "search_file.h"
#include "sign_flag.h"

namespace quarnel {

// File slots and open-mask bits.
inline constexpr int kFileA = 0;
inline constexpr int kFileB = 1;
inline constexpr int kMaskA = 1;
inline constexpr int kMaskB = 2;

// Status of a search routine.
enum class SearchStatus {
    Finished = 0,   // the whole scan length was searched
    NotOpened = 1,  // a file could not be opened; nothing was appended
    ReadFailed = 2  // a read failed or came up short; the report lacks its end
};

// The paths of file A and file B, as the operating system takes them (bytes,
// usually UTF-8), with no bound on their length. Filled by the search command.
extern std::array<std::string, 2> SearchPaths;
// The two files while a search has them open.
extern std::array<SearchFile, 2> SearchFiles;

// The report every search appends to; the results window shows this object.
[[nodiscard]] Report& SearchReport();
// Where failures are told, and the clock that stamps reports. Both default to
// silence and the system clock; the caller keeps ownership.
void SetMessageSink(MessageSink* sink);
void SetClock(const Clock* clock);

// Opens the files the mask asks for, A before B; on the first failure tells
// the user and returns false (file A may stay open: RunSearch closes it).
[[nodiscard]] bool OpenSearchFiles(int mask);
// The length in bytes of the open file of `slot`, or -1.
[[nodiscard]] std::int64_t SearchFileLength(int slot);
void CloseSearchFiles();

void ClearReport();
void AddResultLine(std::string_view cp932);
void AddFilePathLine(int slot);
void AddTimestampLine();
void AddStartMarker();
void AddEndMarker();
void AddColumnHeader(int columns);

// The five modes. A target slot other than 1 searches file A.
[[nodiscard]] SearchStatus SearchValue(int targetSlot, int value);
[[nodiscard]] SearchStatus SearchValuePair(int valueA, int valueB);
[[nodiscard]] SearchStatus SearchMatch();
[[nodiscard]] SearchStatus SearchChange(int amount);
[[nodiscard]] SearchStatus SearchDifference();

// Runs the mode of tab `mode` (0..4; any other mode appends nothing and
// returns NotOpened), closes the files and, if the routine finished, appends the
// closing empty line. Reads SignFlag for the change direction.
[[nodiscard]] SearchStatus RunSearch(int mode, int valueA, int valueB, int targetSlot);

}  // namespace quarnel
