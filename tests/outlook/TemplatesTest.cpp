#include "outlook/Templates.h"

#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The assembly rules over TimeCard values; what each code reads, contact
// properties included, is FieldCodesTest's.
class TemplatesTest : public ::testing::Test {
protected:
    PendingTimeDetail pending;
    ItemVariables variables = [] {
        ItemVariables v;
        v.userName = QStringLiteral("Pat Morgan");
        v.activity1Name = QStringLiteral("Consulting");
        v.activity2Name = QStringLiteral("Lease Review");
        v.jobOrder = QStringLiteral("JO-1042");
        v.description = QStringLiteral("Read the lease.\nCalled the agent.");
        v.entryType = QStringLiteral("Phone call");
        v.category = QStringLiteral("Business");
        return v;
    }();
    TemplateContext ctx = [this] {
        TemplateContext c;
        c.terms.jobOrder = QStringLiteral("Job Order");
        c.now = QDateTime(QDate(2024, 3, 15), QTime(14, 5, 30));
        c.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        c.pending = &pending;
        return c;
    }();

    void setTasks(std::array<qint16, 10> codes) { ctx.templates.tasks = codes; }
    QString subject() { return FormatSubject(TemplateKind::Tasks, variables, nullptr, ctx); }
    QString body() { return FormatBody(TemplateKind::Tasks, variables, nullptr, ctx); }
};

TEST_F(TemplatesTest, SubjectJoinsTheNonEmptyPartsAndSkipsEmptyOnes)
{
    setTasks({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(subject(), "");

    setTasks({0, 0, 0, 0, 0, 0, 1, 7, 0, 0});
    variables.category.clear();
    EXPECT_EQ(subject(), "Pat Morgan: ");

    // An empty first part must not leave a separator in front.
    setTasks({0, 0, 0, 0, 0, 0, 7, 1, 3, 0});
    EXPECT_EQ(subject(), "Pat Morgan: Consulting: ");

    // Parts that only body lines have, and a contact part without a contact.
    setTasks({0, 0, 0, 0, 0, 0, 98, 2, 41, 4});
    EXPECT_EQ(subject(), "Lease Review: ");

    setTasks({0, 0, 0, 0, 0, 0, 1, 3, 4, 102});
    EXPECT_EQ(subject(), "Pat Morgan: Consulting: Lease Review: JO-1042: ");

    // Only the subject slots count, and notes have no subject.
    setTasks({1, 2, 3, 4, 5, 6, 0, 0, 0, 0});
    EXPECT_EQ(subject(), "");
    EXPECT_EQ(FormatSubject(TemplateKind::Notes, variables, nullptr, ctx), "");
}

TEST_F(TemplatesTest, BodyLeavesOutEmptyLinesWhereverTheyStand)
{
    setTasks({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(body(), "");

    // First slot empty: the body starts with the first line that has a value.
    setTasks({0, 1, 6, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(body(), "User: Pat Morgan\r\nEntry Type: Phone call\r\n\r\n\r\n");

    // Labelled lines with empty values are left out even in the first slot; an
    // empty description leaves no label behind.
    variables.category.clear();
    variables.description.clear();
    setTasks({7, 5, 1, 10, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(body(), "User: Pat Morgan\r\n\r\n\r\n");

    // A value that itself ends with ": " is still a value.
    variables.category = QStringLiteral("Re: ");
    setTasks({7, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(body(), "Category: Re: \r\n\r\n\r\n");
}

TEST_F(TemplatesTest, BodyFramesItsLinesWithSeparators)
{
    setTasks({101, 3, 5, 41, 0, 101, 0, 0, 0, 0});
    const QString rule(69, u'=');
    EXPECT_EQ(body(), rule +
                          "\r\nService: Consulting\r\nDescription: \r\n"
                          "Read the lease.\r\nCalled the agent.\r\n" +
                          rule + "\r\n\r\n\r\n");
    // Notes take their six slots like the others.
    ctx.templates.notes = {98, 1, 0, 0, 0, 0};
    EXPECT_EQ(FormatBody(TemplateKind::Notes, variables, nullptr, ctx),
              QString(124, u'-') + "\r\nUser: Pat Morgan\r\n\r\n\r\n");
}

TEST_F(TemplatesTest, PendingTimeDetailGoesToTheSubjectWhenTheOptionIsOn)
{
    setTasks({1, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    ctx.timeDetailOption = true;
    pending.set(QStringLiteral("10:00 AM - 11:30 AM"));
    EXPECT_EQ(body(), "User: Pat Morgan\r\n\r\n\r\n");
    EXPECT_FALSE(pending.isEmpty());
    EXPECT_EQ(subject(), "Pat Morgan: 10:00 AM - 11:30 AM");
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(subject(), "Pat Morgan: ");

    // Notes have no subject, so the text waits for the next item that has one.
    pending.set(QStringLiteral("10:00 AM - 11:30 AM"));
    EXPECT_EQ(FormatSubject(TemplateKind::Notes, variables, nullptr, ctx), "");
    EXPECT_FALSE(pending.isEmpty());
}

TEST_F(TemplatesTest, PendingTimeDetailEndsTheBodyWhenTheOptionIsOff)
{
    ctx.timeDetailOption = false;
    setTasks({1, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    pending.set(QStringLiteral("10:00 AM - 11:30 AM\n(interrupted)"));
    EXPECT_EQ(subject(), "Pat Morgan: ");
    EXPECT_EQ(body(), "User: Pat Morgan\r\n\r\n10:00 AM - 11:30 AM\r\n(interrupted)\r\n\r\n");
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(body(), "User: Pat Morgan\r\n\r\n\r\n");

    // With no lines before it the text opens the body.
    setTasks({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    pending.set(QStringLiteral("10:00 AM - 11:30 AM"));
    EXPECT_EQ(body(), "10:00 AM - 11:30 AM\r\n\r\n");
}

TEST(TemplatePreview, SamplesFillEveryOfferedField)
{
    FieldTerms terms;
    terms.jobOrder = QStringLiteral("Job Order");
    for (qint16 code : offeredFieldCodes(terms, true)) {
        SCOPED_TRACE(code);
        const qint16 codes[] = {code};
        EXPECT_EQ(previewBody(codes, terms).isEmpty(), code == FieldCode::Empty);
    }
    const qint16 subject[] = {2, 36, 0, 9};
    EXPECT_EQ(previewSubject(subject, terms), "Harbor Supply Co.: <Email 1 Address>: 10:30 AM: ");
}

} // namespace
