#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palomind {

// The records of a CSV text as RFC 4180 writes them: fields separated by
// commas, records by CR LF (a lone LF is taken too, as spreadsheets on
// other systems write), a field in double quotes may hold commas, line
// breaks and doubled quotes. A final line break ends the last record
// rather than starting an empty one. Nothing, with `error` naming the row
// (from 1), where a quote is never closed or text follows a closing
// quote or a quote opens in the middle of a field.
std::optional<std::vector<std::vector<std::string>>> ReadCsv(std::string_view text,
                                                             std::string& error);

}  // namespace palomind
