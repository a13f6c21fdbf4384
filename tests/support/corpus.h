// Where the tests find the corpus of real files, and the skip of a test that
// needs it when the folder is absent (a clone without the shared corpus).
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace fixture {

// The corpus folder the build was configured with (LORIVANE_CORPUS_DIR).
const std::string& CorpusDir();
// A file of the corpus, by its path inside the folder.
std::string CorpusPath(const std::string& name);
// Whether the corpus folder exists.
bool HaveCorpus();
// One line: the folder looked for and how to point at another.
std::string NoCorpusReason();

}  // namespace fixture

// Ends the running test (or its SetUp) as skipped when there is no corpus.
#define LORIVANE_SKIP_WITHOUT_CORPUS()                                         \
    do {                                                                       \
        if (!fixture::HaveCorpus()) GTEST_SKIP() << fixture::NoCorpusReason(); \
    } while (0)
