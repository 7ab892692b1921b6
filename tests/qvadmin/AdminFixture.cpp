#include "AdminFixture.h"

#include "data/DatabaseSettings.h"
#include "qvadmin/CommandLine.h"

#include <QTextStream>

namespace quorvale::test {

CommandOutput AdminFixture::run(const QStringList &args) const
{
    CommandOutput o;
    QTextStream out(&o.out);
    QTextStream err(&o.err);
    o.result = admin::runCommandLine(QStringList{"--settings", settingsFile()} + args, out, err);
    return o;
}

CommandOutput AdminFixture::runHere(const QStringList &args) const
{
    const QStringList database = m_engine.onServer()
                                     ? QStringList{"--server", m_engine.connectString()}
                                     : QStringList{"--data-dir", dataDir()};
    return run(QStringList{"--program-dir", programDir()} + database + args);
}

void AdminFixture::initHere(const QStringList &extra) const
{
    const CommandOutput o = runHere(QStringList{"init", "--user", "Ann O'Hara"} + extra);
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
}

std::unique_ptr<db::Connection> AdminFixture::openData() const
{
    auto c = std::make_unique<db::Connection>();
    c->open(m_engine.onServer() ? m_engine.connectString()
                                : ConnectionStrings::programDatabase(dataDir()));
    return c;
}

QVariant AdminFixture::scalar(const QString &sql, const QVariantList &params) const
{
    return openData()->scalar(sql, params);
}

} // namespace quorvale::test
