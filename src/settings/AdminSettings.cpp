#include "settings/AdminSettings.h"

#include "data/AdminOptionOrdinals.h"
#include "platform/core/QvError.h"
#include "platform/db/Recordset.h"
#include "settings/Guarded.h"
#include "settings/SettingsLog.h"
#include "support/Trace.h"

namespace quorvale {

namespace {

namespace O = AdminOption;

class RowReader {
public:
    explicit RowReader(const std::vector<QVariant> &row) : m_row(row) {}

    QVariant at(int ordinal) const
    {
        const auto i = static_cast<std::size_t>(ordinal);
        return i < m_row.size() ? m_row[i] : QVariant();
    }
    bool flag(int ordinal) const
    {
        const QVariant v = at(ordinal);
        return !v.isNull() && v.toLongLong() != 0;
    }
    QString text(int ordinal) const { return at(ordinal).toString(); }
    qint32 integer(int ordinal) const { return at(ordinal).toInt(); }
    FolderId folder(int entryOrdinal, int storeOrdinal) const
    {
        return FolderId{text(entryOrdinal), text(storeOrdinal)};
    }

private:
    const std::vector<QVariant> &m_row;
};

QString rates(const QString &term)
{
    return term + QStringLiteral(" Rates");
}

// Returns the revision the row holds afterwards.
qint32 storeRunningRevision(db::Connection &cnnLink, int runningRevision)
{
    db::Recordset version;
    version.open(cnnLink, QStringLiteral("SELECT ProgramVersion FROM tblAdminOptions"),
                 db::CursorType::Keyset, db::LockType::Optimistic);
    if (version.eof())
        return runningRevision;
    // A newer program may have started since the options were read.
    const qint32 stored = version.value(0).toInt();
    if (stored >= runningRevision)
        return stored;
    version.setValue(QStringLiteral("ProgramVersion"), runningRevision);
    version.update();
    qCInfo(lcSettings) << "ProgramVersion raised from" << stored << "to" << runningRevision;
    return runningRevision;
}

} // namespace

AdminOptions AdminOptions::fromRow(std::vector<QVariant> values)
{
    AdminOptions o;
    const RowReader r(values);
    o.billingInUse = r.flag(O::BillingInUse);
    o.terms = Terms{r.text(O::ContactTerm), r.text(O::Activity1Term), r.text(O::Activity2Term)};
    o.jobOrderTerm = r.text(O::JobOrderTerm);
    o.jobOrderMask = r.text(O::JobOrderMask);
    o.jobOrderRequired = r.flag(O::JobOrderRequired);

    o.contactInUse = r.flag(O::ContactInUse);
    o.contactRequired = r.flag(O::ContactRequired);
    o.hideInactiveContacts = r.flag(O::HideInactiveContacts);
    o.showActivityNumbers = r.flag(O::ShowActivityNumbers);
    o.activity1InUse = r.flag(O::Activity1InUse);
    o.activity1Required = r.flag(O::Activity1Required);
    o.activity1ByContact = r.flag(O::Activity1ByContact);
    o.activity1SortByNumber = r.flag(O::Activity1SortByNumber);
    o.activity2InUse = r.flag(O::Activity2InUse);
    o.activity2Required = r.flag(O::Activity2Required);
    o.activity2ByContact = r.flag(O::Activity2ByContact);
    o.activity2SortByNumber = r.flag(O::Activity2SortByNumber);

    o.contactsFolder = r.folder(O::ContactsFolderEntryID, O::ContactsFolderStoreID);
    o.secondContactsFolder =
        r.folder(O::SecondContactsFolderEntryID, O::SecondContactsFolderStoreID);
    o.journalFolderFixed = r.flag(O::JournalFolderFixed);
    o.journalFolder = r.folder(O::JournalFolderEntryID, O::JournalFolderStoreID);
    o.appointmentsFolderFixed = r.flag(O::AppointmentsFolderFixed);
    o.appointmentsFolder = r.folder(O::AppointmentsFolderEntryID, O::AppointmentsFolderStoreID);
    o.notesFolderFixed = r.flag(O::NotesFolderFixed);
    o.notesFolder = r.folder(O::NotesFolderEntryID, O::NotesFolderStoreID);

    o.rateSourceFixed = r.flag(O::RateSourceFixed);
    o.fixedRateSource = r.text(O::FixedRateSource);
    o.fixedRateLevel = r.text(O::FixedRateLevel);
    o.fixedHourlyRate = Money::fromStored(r.at(O::FixedHourlyRate));
    o.rateSourceContact = r.flag(O::RateSourceContact);
    o.rateSourceStaff = r.flag(O::RateSourceStaff);
    o.rateSourceStaffLevel = r.flag(O::RateSourceStaffLevel);
    o.rateSourceActivity1 = r.flag(O::RateSourceActivity1);

    o.realizationInUse = r.flag(O::RealizationInUse);
    o.expensesInUse = r.flag(O::ExpensesInUse);
    o.fixedChargesInUse = r.flag(O::FixedChargesInUse);
    o.billingInJournal = r.flag(O::BillingInJournal);
    o.permissionsFromStaffLevel = r.flag(O::PermissionsFromStaffLevel);

    o.programVersion = r.integer(O::ProgramVersion);
    o.upgradeRequest = r.integer(O::UpgradeRequest);

    o.row = std::move(values);
    return o;
}

QString AdminOptions::rateSourceChoice() const
{
    if (rateSourceContact)
        return rates(terms.contact);
    if (rateSourceStaff)
        return QStringLiteral("Staff Rates");
    if (rateSourceStaffLevel)
        return QStringLiteral("Staff Level Rates");
    return rates(rateSourceActivity1 ? terms.activity1 : terms.activity2);
}

bool RetrieveAdminSettings(db::Recordset &rsAdminOptions, db::Connection &cnnLink,
                           AdminOptions &options, ErrorHandler &errors, int runningRevision)
{
    TraceScope trace(u"modAdminSettings:  RetrieveAdminSettings");
    return guarded(errors, [&] {
        rsAdminOptions.moveFirst();
        if (rsAdminOptions.eof())
            throw QvError(ErrorNumber::NoCurrentRecord,
                          QStringLiteral("tblAdminOptions holds no row."),
                          QStringLiteral("Quorvale"));
        std::vector<QVariant> row;
        const int count = rsAdminOptions.fieldCount();
        row.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            row.push_back(rsAdminOptions.collect(i));
        AdminOptions read = AdminOptions::fromRow(std::move(row));

        if (runningRevision > read.programVersion) {
            read.programVersion = storeRunningRevision(cnnLink, runningRevision);
            if (read.row.size() > static_cast<std::size_t>(AdminOption::ProgramVersion))
                read.row[AdminOption::ProgramVersion] = read.programVersion;
        }
        options = std::move(read);
        return true;
    });
}

} // namespace quorvale
