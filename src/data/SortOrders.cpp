#include "SortOrders.h"

#include <array>

namespace quorvale {

namespace {

using F = SortOrder::Field;

constexpr std::array<SortOrder, 22> kOrders{{
    {F::DateCreated, false, 6024, " ORDER BY tblTimeCards.TimeCardID ASC", "mnuDateCreatedASC"},
    {F::Contact, false, 6025, " ORDER BY tblTimeCards.ContactID ASC", "mnuContactASC"},
    {F::Activity1, false, 6026, " ORDER BY tblTimeCards.Activity1ID ASC", "mnuActivity1ASC"},
    {F::Activity2, false, 6027, " ORDER BY tblTimeCards.Activity2ID ASC", "mnuActivity2ASC"},
    {F::StartDate, false, 6028, " ORDER BY tblTimeCards.StartDate ASC", "mnuStartDateASC"},
    {F::EndDate, false, 6029, " ORDER BY tblTimeCards.EndDate ASC", "mnuEndDateASC"},
    {F::BillStatus, false, 6030, " ORDER BY tblTimeCards.BillStatus ASC", "mnuBillStatusASC"},
    {F::RateSource, false, 6031, " ORDER BY tblTimeCards.RateSource ASC", "mnuRateSourceASC"},
    {F::EntryType, false, 6032, " ORDER BY tblTimeCards.EntryType ASC", "mnuEntryTypeASC"},
    {F::Rate, false, 6033, " ORDER BY tblTimeCards.Rate ASC", "mnuRateASC"},
    {F::Value, false, 6034, " ORDER BY tblTimeCards.[Value] ASC", "mnuValueASC"},
    {F::DateCreated, true, 6035, " ORDER BY tblTimeCards.TimeCardID DESC", "mnuDateCreatedDESC"},
    {F::Contact, true, 6036, " ORDER BY tblTimeCards.ContactID DESC", "mnuContactDESC"},
    {F::Activity1, true, 6037, " ORDER BY tblTimeCards.Activity1ID DESC", "mnuActivity1DESC"},
    {F::Activity2, true, 6038, " ORDER BY tblTimeCards.Activity2ID DESC", "mnuActivity2DESC"},
    {F::StartDate, true, 6039, " ORDER BY tblTimeCards.StartDate DESC", "mnuStartDateDESC"},
    {F::EndDate, true, 6040, " ORDER BY tblTimeCards.EndDate DESC", "mnuEndDateDESC"},
    {F::BillStatus, true, 6041, " ORDER BY tblTimeCards.BillStatus DESC", "mnuBillStatusDESC"},
    {F::RateSource, true, 6042, " ORDER BY tblTimeCards.RateSource DESC", "mnuRateSourceDESC"},
    {F::EntryType, true, 6043, " ORDER BY tblTimeCards.EntryType DESC", "mnuEntryTypeDESC"},
    {F::Rate, true, 6044, " ORDER BY tblTimeCards.Rate DESC", "mnuRateDESC"},
    {F::Value, true, 6045, " ORDER BY tblTimeCards.[Value] DESC", "mnuValueDESC"},
}};

} // namespace

QString SortOrder::caption(const Terms &terms) const
{
    switch (field) {
    case F::DateCreated:
        return QStringLiteral("Date Created");
    case F::Contact:
        return terms.contact + QStringLiteral(" ID");
    case F::Activity1:
        return terms.activity1 + QStringLiteral(" ID");
    case F::Activity2:
        return terms.activity2 + QStringLiteral(" ID");
    case F::StartDate:
        return QStringLiteral("Start Date");
    case F::EndDate:
        return QStringLiteral("End Date");
    case F::BillStatus:
        return QStringLiteral("Bill Status");
    case F::RateSource:
        return QStringLiteral("Rate Source");
    case F::EntryType:
        return QStringLiteral("Entry Type");
    case F::Rate:
        return QStringLiteral("Rate");
    case F::Value:
        return QStringLiteral("Value");
    }
    return QString();
}

QString SortOrder::menuCaption(const Terms &terms) const
{
    switch (field) {
    case F::DateCreated:
        return QStringLiteral("&Date Created");
    case F::Contact:
        return QStringLiteral("&Contact");
    case F::Activity1:
        return QStringLiteral("Ac&tivity:") + terms.activity1;
    case F::Activity2:
        return QStringLiteral("&Activity:") + terms.activity2;
    case F::StartDate:
        return QStringLiteral("&Start Date");
    case F::EndDate:
        return QStringLiteral("&End Date");
    case F::BillStatus:
        return QStringLiteral("&Bill Status");
    case F::RateSource:
        return QStringLiteral("Rate S&ource");
    case F::EntryType:
        return QStringLiteral("E&ntry Type");
    case F::Rate:
        return QStringLiteral("&Rate");
    case F::Value:
        return QStringLiteral("&Value");
    }
    return QString();
}

namespace SortOrders {

std::span<const SortOrder> all()
{
    return kOrders;
}

const SortOrder *findByClause(const QString &clause)
{
    for (const SortOrder &o : kOrders)
        if (clause == QLatin1String(o.clause))
            return &o;
    return nullptr;
}

const SortOrder *findByToolId(int toolId)
{
    for (const SortOrder &o : kOrders)
        if (o.toolId == toolId)
            return &o;
    return nullptr;
}

} // namespace SortOrders

} // namespace quorvale
