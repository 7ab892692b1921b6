#include "support/Trace.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

TEST(TraceTest, NewestEntryComesFirstAndTheOlderPartIsCut)
{
    Trace::clear();
    {
        TraceScope outer(u"modSettings: OpenDB");
        TraceScope inner(u"modSettings: VerifyRegistryKeys");
        EXPECT_EQ(inner.location(), u"modSettings: VerifyRegistryKeys");
    }
    // Leaving a scope removes nothing: the trace is a history.
    EXPECT_EQ(Trace::text(), u"modSettings: VerifyRegistryKeysX:\nmodSettings: OpenDBX:\n");

    for (int i = 0; i < 500; ++i)
        Trace::enter(QStringLiteral("modTimeCalcs: Step%1").arg(i));
    Trace::enter(u"frmTimeCard: Form_Load");
    const QString &text = Trace::text();
    const QString head = "frmTimeCard: Form_LoadX:\n";
    EXPECT_TRUE(text.startsWith(head));
    // The newest calls are kept, in whole entries; the oldest fall away.
    const QString carried = text.mid(head.size());
    EXPECT_LE(carried.size(), Trace::MaxCarried);
    EXPECT_GT(carried.size(), Trace::MaxCarried - 30);
    EXPECT_TRUE(carried.startsWith(u"modTimeCalcs: Step499X:\nmodTimeCalcs: Step498X:\n"));
    EXPECT_TRUE(carried.endsWith(u"X:\n"));
    EXPECT_FALSE(text.contains(u"OpenDB"));

    Trace::clear();
    EXPECT_TRUE(Trace::text().isEmpty());
}

} // namespace
