#include "timecards/Rates.h"

#include "data/DatabaseSettings.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/RateChoices.h"

// The program's own rate lookups, prepared as start-up prepares them. This test
// target does not link the settings library (it links this one), so its one
// source file is compiled in here.

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

Money rateOf(int whole, int tenThousandths)
{
    return Money::fromUnits(whole * Money::Scale + tenThousandths);
}

// A demonstration database with the program's rate lookups on it.
struct DemoRates : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    db::Connection cnn;
    PreparedCommands commands;
    RateOptions options;

    void SetUp() override
    {
        admin::InitOptions init;
        init.location = test::demoLocation(tmp, engine);
        init.userName = QStringLiteral("Ann O'Hara");
        init.demo = true;
        Registry registry(tmp.filePath("setup.ini"));
        admin::initialise(init, registry);
        cnn.open(init.location.server ? init.location.server->connectString()
                                      : ConnectionStrings::programDatabase(init.location.dataDir));
        ASSERT_TRUE(ProcessAdminOptions(cnn, AdminOptions{}, commands, errors));
        options.terms = ReadTerms(cnn);
    }

    RatesLookup lookup() const
    {
        return [this](const QString &source) { return commands.ratesFor(source, options.terms); };
    }
    std::optional<Money> fetch(const QString &source, const QString &level, const RateKeys &keys)
    {
        return FetchHourlyRate(source, level, keys, options, lookup());
    }
};

} // namespace

TEST(Rates, SourceTextsLevelsAndTheSourcesOffered)
{
    const Terms terms{"Client", "Service", "Project"};
    for (auto kind :
         {RateSourceKind::FlatFee, RateSourceKind::Staff, RateSourceKind::StaffLevel,
          RateSourceKind::Contact, RateSourceKind::Activity1, RateSourceKind::Activity2})
        EXPECT_EQ(rateSourceKind(rateSourceText(kind, terms), terms), kind);
    EXPECT_EQ(rateSourceText(RateSourceKind::Activity2, terms), "Project Rates");
    EXPECT_EQ(rateSourceKind("Client", terms), std::nullopt);
    EXPECT_EQ(rateSourceKind("Staff Rates", {"Staff", "A", "B"}), RateSourceKind::Staff);

    EXPECT_EQ(rateLevels(), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(rateLevelIndex("6"), 5);
    for (const char *bad : {"0", "7", "", " 1", "01"})
        EXPECT_EQ(rateLevelIndex(bad), std::nullopt) << bad;

    RateOptions options;
    options.terms = terms;
    options.activity2InUse = false;
    EXPECT_EQ(offeredRateSources(options),
              QStringList({"Staff Rates", "Staff Level Rates", "Client Rates", "Service Rates",
                           "Flat Fee"}));
    options.rateSourceFixed = true;
    options.fixedRateSource = "Service Rates";
    EXPECT_EQ(offeredRateSources(options), QStringList({"Service Rates"}));
}

TEST_F(DemoRates, EveryDemoTimeCardFetchesTheRateItWasValuedAt)
{
    QSqlQuery q = cnn.prepare("SELECT t.RateSource, t.RateLevel, t.Rate, t.UserId, u.StaffID, "
                              "t.ContactID, t.Activity1ID, t.Activity2ID FROM tblTimeCards t "
                              "JOIN tblUsers u ON u.UserID = t.UserId");
    cnn.run(q, {});
    const auto key = [&](int column) {
        return q.isNull(column) ? std::nullopt : std::optional<qint32>(q.value(column).toInt());
    };
    QSet<QString> sources;
    while (q.next()) {
        const QString source = q.value(0).toString();
        sources.insert(source);
        const RateKeys keys{q.value(3).toInt(), key(4), key(5), key(6), key(7)};
        const std::optional<Money> rate = fetch(source, q.value(1).toString(), keys);
        if (source == FlatFeeSource)
            EXPECT_EQ(rate, std::nullopt);
        else
            EXPECT_EQ(rate, Money::fromStored(q.value(2))) << source.toStdString();
    }
    EXPECT_EQ(sources.size(), 6);
}

TEST_F(DemoRates, EachSourceReadsItsOwnTableAtTheLevelsColumn)
{
    // Row 1 of every rate table gets rates no other table or level has.
    struct Source {
        const char *text, *table, *key;
        int base;
    };
    const Source sources[] = {{"Staff Rates", "tblUsers", "UserID", 200},
                              {"Staff Level Rates", "tblStaff", "StaffID", 300},
                              {"Client Rates", "tblContacts", "ContactID", 100},
                              {"Service Rates", "tblMainActivities", "ActivityID", 400},
                              {"Project Rates", "tblSubActivities", "ActivityID", 500}};
    for (const Source &s : sources) {
        QVariantList rates;
        for (int level = 1; level <= 6; ++level)
            rates << rateOf(s.base + level, level * 1111).toStored();
        cnn.execute(QString("UPDATE %1 SET Rate1 = ?, Rate2 = ?, Rate3 = ?, Rate4 = ?, Rate5 = ?, "
                            "Rate6 = ? WHERE %2 = 1")
                        .arg(s.table, s.key),
                    rates);
    }
    const RateKeys ones{1, 1, 1, 1, 1};
    for (const Source &s : sources) {
        for (int level = 1; level <= 6; ++level)
            EXPECT_EQ(fetch(s.text, QString::number(level), ones),
                      rateOf(s.base + level, level * 1111))
                << s.text << " level " << level;
    }
}

TEST_F(DemoRates, WhatIsLookedUpWithoutAKeyARowOrARate)
{
    const RateKeys none{1, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    for (const char *source : {"Client Rates", "Service Rates", "Project Rates",
                               "Staff Level Rates", "Flat Fee", "Nobody's Rates"})
        EXPECT_EQ(fetch(source, "1", none), std::nullopt) << source; // the rate stays
    EXPECT_EQ(fetch("Staff Rates", "7", none), std::nullopt);

    const RateKeys missingRows{99999, 99999, 99999, 99999, 99999};
    EXPECT_EQ(fetch("Staff Rates", "1", missingRows), Money());
    EXPECT_EQ(fetch("Client Rates", "1", missingRows), Money());
    cnn.execute("UPDATE tblContacts SET Rate3 = NULL WHERE ContactID = 1");
    EXPECT_EQ(fetch("Client Rates", "3", {1, 1, 1, 1, 1}), Money());
}

TEST_F(DemoRates, TheAdministratorsFixedSourceLevelAndRateWin)
{
    const RateKeys keys{1, 1, 1, 1, 1};
    const Money clientLevel2 = *fetch("Client Rates", "2", keys);
    options.rateSourceFixed = true;
    options.fixedRateSource = "Client Rates";
    options.fixedRateLevel = "2";
    EXPECT_EQ(fetch("Staff Rates", "5", keys), clientLevel2);
    options.fixedHourlyRate = rateOf(99, 5);
    EXPECT_EQ(fetch("Staff Rates", "5", keys), rateOf(99, 5));
}

TEST_F(DemoRates, RenamedTermsRenameTheStoredSourcesInOnePass)
{
    const auto count = [&](const char *source) {
        return cnn.scalar("SELECT COUNT(*) FROM tblTimeCards WHERE RateSource = ?", {source})
            .toInt();
    };
    const int clients = count("Client Rates"), services = count("Service Rates");
    const int projects = count("Project Rates");
    ASSERT_GT(clients * services * projects, 0);
    cnn.execute("UPDATE tblAdminOptions SET FixedRateSource = 'Client Rates'");

    // Contact and Activity 1 trade their terms; Activity 2 gets a new one.
    const Terms before = options.terms;
    const Terms after{"Service", "Client", "Engagement"};
    const RateSourceRenaming renaming(before, after);
    EXPECT_EQ(renaming.apply(QStringList{"Client Rates", "Service Rates", "Staff Rates"}),
              QStringList({"Service Rates", "Client Rates", "Staff Rates"}));
    EXPECT_EQ(RenameStoredRateSources(cnn, renaming), clients + services + projects);

    EXPECT_EQ(count("Service Rates"), clients);
    EXPECT_EQ(count("Client Rates"), services);
    EXPECT_EQ(count("Engagement Rates"), projects);
    EXPECT_EQ(count("Project Rates"), 0);
    EXPECT_EQ(cnn.scalar("SELECT FixedRateSource FROM tblAdminOptions").toString(),
              "Service Rates");
    EXPECT_TRUE(RateSourceRenaming(after, after).empty());
    // A contact term "Staff" would read as the staff source: never renamed from or into.
    EXPECT_TRUE(RateSourceRenaming({"Staff", "A", "B"}, {"Client", "A", "B"}).empty());
    EXPECT_TRUE(RateSourceRenaming({"Client", "A", "B"}, {"Staff", "A", "B"}).empty());
}

TEST(Rates, CurrencyTextFollowsTheLocaleFromTheExactAmount)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(currencyText(rateOf(1234, 5678), us), "$1,234.57");
    EXPECT_EQ(currencyText(rateOf(0, 50), us), "$0.01");
    EXPECT_EQ(currencyText(-rateOf(12, 0), us), "($12.00)");
    EXPECT_EQ(currencyText(rateOf(1234, 5000), QLocale(QLocale::German, QLocale::Germany)),
              QString::fromUtf8("1.234,50\u00a0\u20ac"));
}

TEST_F(DemoRates, RateListAndTheChoicesOfSourceAndLevel)
{
    cnn.execute("UPDATE tblContacts SET Rate1 = ?, Rate2 = ?, Rate3 = ?, Rate4 = ?, Rate5 = ?, "
                "Rate6 = ? WHERE ContactID = 1",
                {rateOf(160, 0).toStored(), rateOf(150, 0).toStored(), rateOf(120, 0).toStored(),
                 rateOf(100, 0).toStored(), rateOf(90, 0).toStored(), rateOf(80, 0).toStored()});
    const RateContext context{options, true, lookup(),
                              QLocale(QLocale::English, QLocale::UnitedStates)};
    RateCard card{"Staff Rates",
                  "3",
                  rateOf(77, 0),
                  rateOf(250, 0),
                  "0013000",
                  Realization::fromPercent(50),
                  {1, 1, std::nullopt, 1, 1}};

    // No contact chosen: the contact source leaves the rate as it was.
    RateFields fields = cbRateSource_Click(card, "Client Rates", context);
    EXPECT_EQ(fields.card.rate, rateOf(77, 0));
    EXPECT_TRUE(fields.list.entries.isEmpty());

    card.keys.contactId = 1;
    fields = cbRateSource_Click(card, "Client Rates", context);
    EXPECT_EQ(fields.list.entries,
              QStringList({"$160.00", "$150.00", "$120.00", "$100.00", "$90.00", "$80.00"}));
    EXPECT_EQ(fields.list.selected, 2);
    EXPECT_EQ(fields.card.rateSource, "Client Rates");
    EXPECT_EQ(fields.card.rate, rateOf(120, 0));
    EXPECT_FALSE(fields.flatFeeShown);
    EXPECT_EQ(fields.valueText, "$90.00"); // 1.5 h at 120.00, realized at 50 %

    fields = cbHourlyRate_Click(fields.card, fields.list, 0, context);
    EXPECT_EQ(fields.card.rateLevel, "1");
    EXPECT_EQ(fields.card.rate, rateOf(160, 0));
    EXPECT_EQ(fields.value, rateOf(120, 0));

    fields = cbRateSource_Click(fields.card, "Flat Fee", context);
    EXPECT_TRUE(fields.flatFeeShown);
    EXPECT_TRUE(fields.list.entries.isEmpty());
    EXPECT_EQ(fields.card.rate, rateOf(160, 0));
    EXPECT_EQ(fields.valueText, "$250.00");

    RateContext fixed = context;
    fixed.options.rateSourceFixed = true;
    fixed.options.fixedRateSource = "Client Rates";
    fixed.options.fixedRateLevel = "4";
    fields = cbRateSource_Click(card, "Flat Fee", fixed);
    EXPECT_EQ(fields.card.rateSource, "Client Rates");
    EXPECT_EQ(fields.card.rate, rateOf(100, 0));
    fields = cbHourlyRate_Click(fields.card, fields.list, 0, fixed);
    EXPECT_EQ(fields.card.rateLevel, "4");
    EXPECT_EQ(fields.card.rate, rateOf(100, 0));
}
