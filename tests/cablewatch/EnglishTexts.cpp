// Cablewatch's texts are written in English and its tests read them so, in
// whatever language the test machine's desktop is; the Swedish ones have tests
// of their own.
#include <gtest/gtest.h>

#include "base/StringTable.h"

namespace {

class EnglishTexts : public ::testing::Environment {
public:
    void SetUp() override { StringTable::SetLanguage(QStringLiteral("en")); }
};

const ::testing::Environment* const kEnglishTexts =
    ::testing::AddGlobalTestEnvironment(new EnglishTexts);

}  // namespace
