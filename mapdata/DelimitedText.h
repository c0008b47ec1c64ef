#pragma once
// Tables written as text by spreadsheets and other programs: one row a line,
// fields split by a tab, a semicolon, a comma or blanks, a header naming the
// columns.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace karvello {

bool IsBlank(char c);

// The fields of one line. A separator of 0 means runs of blanks. Fields are
// trimmed of blanks; a field in double quotes is taken as written inside
// them, with "" standing for one quote. The views point into the line or into
// scratch, which is reserved to the line's size first so that it never moves.
void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& fields,
                 std::string& scratch);

// The fields at the given indexes of a line, as SplitFields gives them, found
// without building the list of all fields: wanted[k] becomes field
// columns[k]. For the rows of a large table. False, with wanted unspecified,
// for blank-separated lines (separator 0) and for a line with a quote before
// the end of the last wanted field or with too few fields: SplitFields reads
// those.
bool SplitWantedFields(std::string_view line, char separator, std::span<const std::int64_t> columns,
                       std::span<std::string_view> wanted);

// The separator a header line uses: a tab, else a semicolon, else a comma,
// else blanks (0).
char SeparatorOf(std::string_view header);

// A column a table may have, and the names it goes by in a header (compared
// ignoring case).
struct ColumnNames {
    std::string_view What;
    std::vector<std::string_view> Names;
};

// The index of each column in the header, or -1 where no field names it; the
// first field that names a column wins.
std::vector<std::int64_t> FindNamedColumns(const std::vector<std::string_view>& header,
                                           std::span<const ColumnNames> columns);

} // namespace karvello
