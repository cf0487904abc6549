// Writes a report as a results file, with the care a save deserves.
#pragma once

#include <string>
#include <string_view>

#include "report.h"

namespace quarnel {

enum class ReportEncoding {
    Cp932Crlf,  // the results file: the lines' CP932 bytes, CR LF after each
    Utf8Lf      // for reading in a terminal: UTF-8, LF after each
};

struct SaveOutcome {
    bool ok = false;
    int error = 0;  // errno of the first failure when !ok
};

// Writes every line of `report` to `path`. An existing regular file (or the
// file a link names) is replaced only once the new one is complete: the text
// goes to a new file beside it, which keeps the old file's permissions and is
// then renamed over it. A path that exists and is not a regular file (a
// device such as /dev/null or /dev/full) is written in place. Every write and
// the close are checked; on failure the old file is left as it was.
[[nodiscard]] SaveOutcome SaveReportFile(const Report& report, const std::string& path,
                                         ReportEncoding encoding = ReportEncoding::Cp932Crlf);

// The same text written to an open descriptor (standard output).
[[nodiscard]] SaveOutcome WriteReport(const Report& report, int fd,
                                      ReportEncoding encoding = ReportEncoding::Cp932Crlf);

}  // namespace quarnel
