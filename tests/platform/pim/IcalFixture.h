#pragma once

#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>

namespace quorvale::test {

// A store with the default folders, and file helpers for the iCalendar kinds.
class IcalFixture : public ::testing::Test {
protected:
    TempDir dir;
    pim::Namespace ns{dir.filePath(QStringLiteral("Items"))};

    pim::Folder folder(pim::DefaultFolder kind) { return ns.GetDefaultFolder(kind); }

    template <typename T> std::unique_ptr<T> add(pim::DefaultFolder kind)
    {
        std::unique_ptr<pim::Item> item = pim::newItem(folder(kind));
        return std::unique_ptr<T>(dynamic_cast<T *>(item.release()));
    }
    template <typename T> std::unique_ptr<T> reread(const pim::Item &item)
    {
        std::unique_ptr<pim::Item> read = ns.itemFromId(item.EntryID(), item.StoreID());
        return std::unique_ptr<T>(dynamic_cast<T *>(read.release()));
    }
    template <typename T> std::unique_ptr<T> readFile(pim::DefaultFolder kind, const QString &name)
    {
        std::unique_ptr<pim::Item> read = pim::readItem(folder(kind), name);
        return std::unique_ptr<T>(dynamic_cast<T *>(read.release()));
    }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    void put(pim::DefaultFolder kind, const QString &name, const QByteArray &content)
    {
        write(QDir(folder(kind).path()).filePath(name), content);
    }
};

// Runs a test in another local time zone and restores the old one.
class LocalZone {
public:
    explicit LocalZone(const char *zone) : m_had(qEnvironmentVariableIsSet("TZ"))
    {
        m_old = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_old;
};

} // namespace quorvale::test
