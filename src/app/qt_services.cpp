#include "qt_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <algorithm>

void QtDialogs::Information(const std::string& text) {
    QMessageBox::information(m_parent, QApplication::applicationName(),
                             QString::fromStdString(text));
}

void QtDialogs::Warning(const std::string& text) {
    QMessageBox::warning(m_parent, QApplication::applicationName(), QString::fromStdString(text));
}

void QtDialogs::Error(const std::string& text) {
    QMessageBox::critical(m_parent, QApplication::applicationName(), QString::fromStdString(text));
}

bool QtDialogs::Question(const std::string& text) {
    return QMessageBox::question(m_parent, QApplication::applicationName(),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::WarningQuestion(const std::string& text) {
    return QMessageBox::warning(m_parent, QApplication::applicationName(),
                                QString::fromStdString(text),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string QtSaveFileChooser::Choose(const std::string& title, const std::string& suggestedName,
                                      const std::string& filter) {
    return QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title),
                                        QString::fromStdString(suggestedName),
                                        QString::fromStdString(filter))
        .toStdString();
}

std::string QtOpenFileChooser::ChooseOpen(const std::string& title, const std::string& filter) {
    return QFileDialog::getOpenFileName(m_parent, QString::fromStdString(title), QString(),
                                        QString::fromStdString(filter))
        .toStdString();
}

QtLater::QtLater() = default;

QtLater::~QtLater() = default;

core::Later::Ticket QtLater::After(int ms, std::function<void()> work) {
    const Ticket ticket = ++m_last;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    // Pauses of a few milliseconds stay a few milliseconds.
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, ticket, work = std::move(work)] {
        const auto found = m_timers.find(ticket);
        if (found == m_timers.end())
            return;
        // The timer goes once its signal is done, and the work with it.
        found->second.release()->deleteLater();
        m_timers.erase(found);
        work();
    });
    timer->start(std::max(0, ms));
    m_timers.emplace(ticket, std::move(timer));
    return ticket;
}

void QtLater::Cancel(Ticket ticket) {
    m_timers.erase(ticket);
}

bool QtShell::Open(const std::string& target) {
    const QString text = QString::fromStdString(target);
    // A web address has a scheme; anything else is a document, and one that is not there
    // fails here rather than in a viewer started for it.
    const QUrl address(text);
    if (address.scheme().size() > 1)
        return QDesktopServices::openUrl(address);
    return QFileInfo::exists(text) && QDesktopServices::openUrl(QUrl::fromLocalFile(text));
}
