// A temporary folder a test shares with the death tests it starts.
//
// A death test runs in a fresh copy of the test program that repeats the test up to the statement that
// ends it. The copy finds the folder of the test that started it in an environment variable and works
// there, so the parent can check what the ended process left on disk. The folder is made, and the
// variable set, only by the test that started first; it removes both when it ends.
#pragma once

#include <memory>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

class DeathTestFolder {
public:
    explicit DeathTestFolder(const char* variable) : m_variable(variable) {
        const QByteArray inherited = qgetenv(variable);
        if (!inherited.isEmpty()) {
            m_path = QString::fromLocal8Bit(inherited);
            return;
        }
        m_dir = std::make_unique<QTemporaryDir>();
        if (!m_dir->isValid())
            return;
        m_path = m_dir->path();
        qputenv(variable, m_path.toLocal8Bit());
    }

    ~DeathTestFolder() {
        if (m_dir && m_dir->isValid())
            qunsetenv(m_variable);
    }

    DeathTestFolder(const DeathTestFolder&) = delete;
    DeathTestFolder& operator=(const DeathTestFolder&) = delete;

    bool IsValid() const { return !m_path.isEmpty(); }
    // The folder, without a trailing separator.
    const QString& Path() const { return m_path; }

private:
    const char* m_variable;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};
