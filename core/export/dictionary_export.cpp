#include "core/export/dictionary_export.h"

#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/dictionary_json.h"
#include "core/dictionary/file_dictionary.h"
#include "core/export/text_file.h"
#include "core/state/dialogs.h"
#include "core/state/spssdio1.h"
#include "core/text/display_encoding.h"

namespace lv {
namespace {

// The data file's name with .csv in place of its extension.
std::string InitialName(const std::string& dataFile) {
    const size_t slash = dataFile.rfind('/');
    const size_t dot = dataFile.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? dataFile.substr(0, dot) : dataFile) + ".csv";
}

}  // namespace

int WriteDictionaryFile(const std::string& dataFile, const std::string& path,
                        DictionaryFileKind kind, std::string_view encoding, Progress* progress) {
    FileDictionary dict;
    if (int st = ReadFileDictionary(dataFile, &dict, progress)) return st;
    const std::string text = kind == DictionaryFileKind::Json ? DictionaryJson(dict, encoding)
                                                              : CodebookCsv(dict, encoding);
    TextFileWriter out;
    out.Create(path);
    out.Write(text);
    out.Close();
    return 0;
}

void ExportDictionary(Progress* progress) {
    const std::string& dataFile = spssdio1::DataFileName;
    if (dataFile.empty()) return;
    const std::optional<SaveChoice> choice =
        CurrentDialogs().SaveFileAs(kDictionaryFilter, InitialName(dataFile));
    if (!choice) return;
    const DictionaryFileKind kind =
        choice->filterIndex == 1 ? DictionaryFileKind::Json : DictionaryFileKind::Csv;
    const int status =
        WriteDictionaryFile(dataFile, choice->path, kind, DisplayEncoding(), progress);
    if (status == kDictionaryCancelled) return;
    if (status != 0) {
        CurrentDialogs().Tell(
            Message{MessageCode::DictionaryReadFailed, {spssdio1::StatusName(status)}});
        return;
    }
    CurrentDialogs().Beep();
}

}  // namespace lv
