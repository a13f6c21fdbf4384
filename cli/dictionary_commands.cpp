// lorivane-dump meta and dict: the whole dictionary as the file-information
// window's lines and per-variable blocks, as JSON, or as the CSV codebook,
// from the same core code as the windows.
#include <string>

#include "cli/commands.h"
#include "core/dictionary/codebook_csv.h"
#include "core/dictionary/dictionary_json.h"
#include "core/dictionary/file_dictionary.h"
#include "core/windows/file_info_lines.h"

namespace lv::cli {
namespace {

constexpr int kExitError = 1;

void Print(std::FILE* out, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

class PrintingSink : public lv::LineSink {
  public:
    PrintingSink(std::FILE* out, const std::string* utf8From) : out_(out), utf8From_(utf8From) {}
    void AddLine(const lv::DisplayLine& line) override {
        Print(out_, utf8From_ ? line.ToUtf8(*utf8From_) : line.Bytes());
        Print(out_, "\n");
    }

  private:
    std::FILE* out_;
    const std::string* utf8From_;
};

// Reads the dictionary of the command's file; false (with a message) when
// it cannot be read.
bool Read(Context& c, lv::FileDictionary* dict) {
    const std::string& path = c.options.files[0];
    if (!CheckPath(c, path)) return false;
    const int status = lv::ReadFileDictionary(path, dict);
    if (status == 0) return true;
    ReportUnreadable(c, path, status, dict->refusal);
    // The JSON says it too, for the program reading it.
    if (c.options.json && !dict->refusal.empty())
        Print(c.out, lv::RefusalJson(path, status, *dict));
    return false;
}

// The encoding given with --encoding, else the file's.
std::string EncodingOf(const Context& c, const lv::FileDictionary& dict) {
    return c.options.encoding.empty() ? dict.encoding : c.options.encoding;
}

}  // namespace

int RunMeta(Context& c) {
    lv::FileDictionary dict;
    if (!Read(c, &dict)) return kExitError;
    const std::string encoding = EncodingOf(c, dict);
    if (c.options.json) {
        Print(c.out, lv::DictionaryJson(dict, encoding));
        return 0;
    }
    PrintingSink sink(c.out, c.options.utf8() ? &encoding : nullptr);
    lv::FileInfoLines(dict, encoding, sink);
    lv::VariableDetailLines(dict, sink);
    return 0;
}

int RunDict(Context& c) {
    lv::FileDictionary dict;
    if (!Read(c, &dict)) return kExitError;
    const std::string encoding = EncodingOf(c, dict);
    Print(c.out,
          c.options.json ? lv::DictionaryJson(dict, encoding) : lv::CodebookCsv(dict, encoding));
    return 0;
}

}  // namespace lv::cli
