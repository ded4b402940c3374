#include "metadata/xml_document.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

TEST(XmlDocument, OnlyPlainDocumentsWithinTheLimitAreRead)
{
    const std::string plain = "<a x=\"&quot;1&quot;\"><b>&lt;&#233;&gt; &amp; <![CDATA[<c>]]></b></a>";
    const auto document = XmlDocument::Parse(plain, plain.size());
    ASSERT_TRUE(document);
    EXPECT_EQ(AttributeValue(document->Root(), "x"), "\"1\"");
    EXPECT_EQ(ElementText(FirstChildElement(document->Root(), "b")), "<é> & <c>");
    EXPECT_EQ(AttributeValue(document->Root(), "y"), std::nullopt);

    EXPECT_FALSE(XmlDocument::Parse(plain, plain.size() - 1));
    EXPECT_FALSE(XmlDocument::Parse("<a>&undefined;</a>", 1000));
    EXPECT_FALSE(XmlDocument::Parse("<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", 1000));
    EXPECT_FALSE(XmlDocument::Parse("<!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>", 1000));
    EXPECT_FALSE(XmlDocument::Parse("<a></b>", 1000));
    EXPECT_FALSE(XmlDocument::Parse("", 1000));
}

}  // namespace
}  // namespace tesslow
