// The export's text-file writer: bytes exactly as given, CR LF line ends,
// output collected in 128-byte blocks. A failed create, write or close
// raises InOutError with the code and message of the failure.
//
// The file is an OutputFile (output_file.h): it takes its name in Close,
// once everything is written; until then, and after any failure, an
// existing file under the name is as it was, and a new name is not made.
//
// The buffer holds 512 blocks (64 KiB) and is written when it is full and on
// close, so the file receives only whole 128-byte blocks and then the final
// partial one, with one system call per 64 KiB instead of one per block.
//
// An export can be larger than the memory it should occupy: for a regular
// file the writer starts the write-back of each 8 MiB written and asks the
// system to drop the pages of older ranges whose write-back has finished, so
// the page cache the export holds stays small and its pages are reused
// instead of new ones being faulted in. Nothing waits for the disk.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace lv {

class OutputFile;

class TextFileWriter {
  public:
    static constexpr size_t kBlockSize = 128;
    static constexpr size_t kBufferSize = 512 * kBlockSize;
    static constexpr unsigned long long kWritebackChunk = 8ull << 20;

    TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;
    // A file not closed is dropped, as after a failure; never throws.
    ~TextFileWriter();

    // Checks path and opens the file that Close will give that name (an
    // existing file is replaced then), closing a file this writer still has
    // open first. "-" is a file of that name.
    void Create(const std::string& path);
    void Write(std::string_view bytes);
    void WriteChar(char c);
    void WriteLine();  // CR LF
    // Writes what is buffered, closes and gives the file its name. Closing a
    // closed writer does nothing. After a failed write, Close drops the file
    // and raises that first error again (never another one), so a caller
    // that closes on its error path reports the original failure.
    void Close();
    // Drops the file without giving it its name.
    void Discard();

    bool isOpen() const { return out_ != nullptr; }

  private:
    void Flush();
    void WriteToFile(const char* data, size_t size);
    [[noreturn]] void Fail(int code);
    void CheckWritable() const;
    void WriteBehind();

    std::unique_ptr<OutputFile> out_;
    int failedCode_ = 0;  // the first write error since Create, 0 for none
    size_t used_ = 0;
    bool regular_ = false;              // a regular file: write-behind applies
    unsigned long long written_ = 0;    // bytes handed to the file
    unsigned long long submitted_ = 0;  // write-back started below this
    unsigned long long released_ = 0;   // pages below this were released
    std::unique_ptr<char[]> buffer_;
};

}  // namespace lv
