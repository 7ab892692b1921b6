#include "charges/BillingOptions.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QSqlQuery>

namespace quorvale {

namespace {

const QString Source = QStringLiteral("Billing options");

} // namespace

QString BillingOptions::missingForInvoice() const
{
    QStringList missing;
    if (firmName.trimmed().isEmpty())
        missing << QStringLiteral("the firm's name");
    if (firmAddress.trimmed().isEmpty())
        missing << QStringLiteral("the firm's address");
    if (!taxRateUnits(taxRate))
        return QStringLiteral("The tax rate \"%1\" is not a percentage.").arg(taxRate);
    if (missing.isEmpty())
        return {};
    return QStringLiteral("An invoice needs %1 in the billing options; the administrator sets "
                          "them with \"qvadmin firm set\".")
        .arg(missing.join(QStringLiteral(" and ")));
}

std::optional<qint64> taxRateUnits(const QString &rate)
{
    const QString text = rate.trimmed().remove(QLatin1Char('%')).trimmed();
    if (text.isEmpty())
        return 0;
    const std::optional<Money> parsed = Money::parse(text);
    if (!parsed || *parsed < Money() || *parsed > Money::fromWhole(100))
        return std::nullopt;
    return parsed->units();
}

Money taxOn(Money amount, const QString &rate)
{
    const std::optional<qint64> units = taxRateUnits(rate);
    if (!units || *units == 0)
        return {};
    // amount x rate% in cents: ten-thousandths x (percent x 10^4) / (100 x 10^4 x 100).
    const Money cents = amount.mulDiv(*units, 100LL * Money::Scale * 100);
    return Money::fromUnits(cents.units() * 100);
}

BillingOptions readBillingOptions(db::Connection &db)
{
    BillingOptions options;
    QSqlQuery q = db.prepare(QStringLiteral(
        "SELECT FirmName, FirmAddress, FirmTaxNumber, TaxRate, PaymentTermsDays, InvoiceNote "
        "FROM tblBillingOptions ORDER BY BillingOptionsID"));
    q.setForwardOnly(true);
    db.run(q, {});
    if (q.next()) {
        options.firmName = q.value(0).toString();
        options.firmAddress = q.value(1).toString();
        options.firmTaxNumber = q.value(2).toString();
        options.taxRate = q.value(3).toString();
        options.paymentTermsDays = q.value(4).isNull() ? 30 : q.value(4).toInt();
        options.invoiceNote = q.value(5).toString();
    }
    return options;
}

void writeBillingOptions(db::Connection &db, const BillingOptions &options)
{
    if (!taxRateUnits(options.taxRate))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The tax rate \"%1\" is not a percentage from 0 to 100; "
                                     "the billing options were kept as they were.")
                          .arg(options.taxRate),
                      Source);
    if (options.paymentTermsDays < 0 || options.paymentTermsDays > 3650)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Payment terms of %1 days are not possible; the billing "
                                     "options were kept as they were.")
                          .arg(options.paymentTermsDays),
                      Source);
    db::Transaction tx(db);
    const QVariantList values{options.firmName.trimmed(),      options.firmAddress.trimmed(),
                              options.firmTaxNumber.trimmed(), options.taxRate.trimmed(),
                              options.paymentTermsDays,        options.invoiceNote};
    const bool exists =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM tblBillingOptions")).toLongLong() > 0;
    if (exists)
        db.execute(QStringLiteral("UPDATE tblBillingOptions SET FirmName = ?, FirmAddress = ?, "
                                  "FirmTaxNumber = ?, TaxRate = ?, PaymentTermsDays = ?, "
                                  "InvoiceNote = ?"),
                   values);
    else
        db.execute(QStringLiteral("INSERT INTO tblBillingOptions (FirmName, FirmAddress, "
                                  "FirmTaxNumber, TaxRate, PaymentTermsDays, InvoiceNote) VALUES "
                                  "(?, ?, ?, ?, ?, ?)"),
                   values);
    tx.commit();
}

} // namespace quorvale
