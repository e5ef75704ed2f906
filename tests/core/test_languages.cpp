#include "core/Languages.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(MessageLanguages, FollowTheLocaleVariablesAsGettextDoes)
{
    struct Case {
        LocaleEnvironment environment; // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        QStringList languages;
    };
    // clang-format off
    const Case cases[] = {
        {{"", "", "", ""}, {}},
        {{"de", "", "", ""}, {}},
        {{"", "", "", "de_DE.UTF-8"}, {"de_DE", "de"}},
        {{"", "", "fr_FR", "de_DE"}, {"fr_FR", "fr"}},
        {{"", "de_AT.UTF-8@euro", "fr_FR", ""}, {"de_AT", "de"}},
        {{"", "sr_RS@latin", "", ""}, {"sr_RS", "sr"}},
        {{"de", "C", "", "de_DE.UTF-8"}, {}},
        {{"de", "", "C.UTF-8", "de_DE.UTF-8"}, {}},
        {{"de", "POSIX", "", ""}, {}},
        {{"de", "", "", ".UTF-8"}, {}},
        {{"fr:de_CH", "", "", "de_DE.UTF-8"}, {"fr", "de_CH", "de", "de_DE"}},
        {{"de::en", "", "", "en_US.UTF-8"}, {"de", "en", "en_US"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const LocaleEnvironment& e = c.environment;
        EXPECT_EQ(messageLanguages(e), c.languages)
            << qPrintable(QStringList({e.language, e.lcAll, e.lcMessages, e.lang}).join(u'|'));
    }
}
