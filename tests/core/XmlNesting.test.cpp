#include <gtest/gtest.h>

#include "core/XmlNesting.hpp"

TEST(XmlNesting, CountsElementLevelsLikeTheParserBuildsThem) {
    EXPECT_EQ(xmlNestingDepth(""), 0);
    EXPECT_EQ(xmlNestingDepth("<a/>"), 1);
    EXPECT_EQ(xmlNestingDepth("<?xml version=\"1.0\"?>\n<a><b><c/></b><b/></a>"), 3);
    EXPECT_EQ(xmlNestingDepth("\xEF\xBB\xBF<a><b>text</b></a>"), 2);
}

TEST(XmlNesting, MarkupThatOnlyLooksLikeElementsDoesNotCount) {
    EXPECT_EQ(xmlNestingDepth("<a><!-- <b><c><d> --></a>"), 1);
    EXPECT_EQ(xmlNestingDepth("<a><![CDATA[<b><c><d>]]></a>"), 1);
    EXPECT_EQ(xmlNestingDepth("<!DOCTYPE a [ <!ENTITY x \"<b>\"> ]><a/>"), 1);
    EXPECT_EQ(xmlNestingDepth("<a><?pi <b><c> ?></a>"), 1);
    EXPECT_EQ(xmlNestingDepth("<a v='/>'><b w=\"<c>\"/></a>"), 2);
}

TEST(XmlNesting, StopsWhereTheTextStopsBeingXml) {
    // What follows a syntax error is never parsed, so it does not count.
    EXPECT_EQ(xmlNestingDepth("<a><b v=unquoted><c><d><e>"), 1);
    EXPECT_EQ(xmlNestingDepth("text <a><b><c>"), 0);
    EXPECT_EQ(xmlNestingDepth("<a><!-- never closed <b><c>"), 1);
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<a>";
    }
    EXPECT_EQ(xmlNestingDepth(deep.c_str()), 100000);
}
