// 辞書を書き出す…: the dictionary of the chosen file written as the CSV
// codebook or as JSON, whichever file type the save dialog's user picked;
// the same writers as lorivane-dump dict.
#pragma once

#include <string>
#include <string_view>

#include "core/state/progress.h"

namespace lv {

enum class DictionaryFileKind { Csv, Json };

// The save dialog's file types, in the order of DictionaryFileKind.
inline constexpr std::string_view kDictionaryFilter = "CSV ﾌｧｲﾙ|*.csv|JSON ﾌｧｲﾙ|*.json";

// Writes the dictionary of dataFile to path, the file's texts decoded from
// encoding. Returns 0, or the status that kept the dictionary from being
// read (path is then left alone; kDictionaryCancelled when progress said
// stop); a failed write raises InOutError.
int WriteDictionaryFile(const std::string& dataFile, const std::string& path,
                        DictionaryFileKind kind, std::string_view encoding,
                        Progress* progress = nullptr);

// The menu item's action for spssdio1::DataFileName (nothing while it is
// empty): the save dialog (initial name: the data file's with .csv), the
// write (texts decoded as the windows decode them), and a beep at the end; a
// dictionary that cannot be read is reported in a message box. progress
// follows the reading; when it says stop nothing is written or said. The
// shared state is left alone.
void ExportDictionary(Progress* progress = nullptr);

}  // namespace lv
