#include "tests/support/corpus.h"

#include <sys/stat.h>

#include <cstdlib>

namespace fixture {

// The configured folder, unless the environment names another for this run
// (the test set-up uses that to run the corpus suites without a corpus).
const std::string& CorpusDir() {
    static const std::string dir = [] {
        const char* override = std::getenv("LORIVANE_CORPUS_DIR");
        return std::string(override && *override ? override : LORIVANE_CORPUS_DIR);
    }();
    return dir;
}

std::string CorpusPath(const std::string& name) {
    return CorpusDir() + "/" + name;
}

bool HaveCorpus() {
    struct stat st {};
    return stat(CorpusDir().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string NoCorpusReason() {
    return "no real-file corpus at " + CorpusDir() +
           " (configure with -DLORIVANE_CORPUS_DIR=<folder> to use another)";
}

}  // namespace fixture
