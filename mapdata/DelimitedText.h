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

// A column that more than one field of a header names, and those fields.
struct ColumnChoice {
    std::size_t Column = 0;           // into the columns asked for
    std::vector<std::int64_t> Fields; // in the header's order
};

// The index of each column in the header, or -1 where no field names it.
// Where several fields name one column, the field named by the earliest of
// the column's Names wins (the first such field where two use that name),
// so that a list of names runs from the most to the least telling; each such
// column goes into choices, where given.
std::vector<std::int64_t> FindNamedColumns(const std::vector<std::string_view>& header,
                                           std::span<const ColumnNames> columns,
                                           std::vector<ColumnChoice>* choices = nullptr);

// The warning that a header names a column more than once and which field
// was taken: "The header on line L of "FILE" has 2 fields that could be the
// marker column, "ID" and "Marker"; "Marker" is taken."
std::string ColumnChoiceWarning(const ColumnChoice& choice,
                                const std::vector<std::string_view>& header,
                                std::span<const ColumnNames> columns, std::int64_t taken,
                                std::int64_t line, std::string_view fileName);

// "lines 3, 5 and 9" or "line 3", of up to the first ten lines given (line
// numbers counted from 1), with "and N more" past them.
std::string LinesText(const std::vector<std::int64_t>& lines);

} // namespace karvello
