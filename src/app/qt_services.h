// The real platform services: Qt message boxes, timed work, the desktop's "open".
#pragma once

#include "core/services.h"

#include <map>
#include <memory>

class QTimer;
class QWidget;

class QtDialogs : public core::Dialogs {
public:
    explicit QtDialogs(QWidget*& parent) : m_parent(parent) {}
    void Information(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    bool Question(const std::string& text) override;
    bool WarningQuestion(const std::string& text) override;

private:
    QWidget*& m_parent; // the main window, once it exists
};

class QtSaveFileChooser : public core::SaveFileChooser {
public:
    explicit QtSaveFileChooser(QWidget*& parent) : m_parent(parent) {}
    std::string Choose(const std::string& title, const std::string& suggestedName,
                       const std::string& filter) override;

private:
    QWidget*& m_parent;
};

class QtOpenFileChooser : public core::OpenFileChooser {
public:
    explicit QtOpenFileChooser(QWidget*& parent) : m_parent(parent) {}
    std::string ChooseOpen(const std::string& title, const std::string& filter) override;

private:
    QWidget*& m_parent;
};

// Each pause is a single-shot timer of its own.
class QtLater : public core::Later {
public:
    QtLater();
    ~QtLater() override;
    QtLater(const QtLater&) = delete;
    QtLater& operator=(const QtLater&) = delete;
    Ticket After(int ms, std::function<void()> work) override;
    void Cancel(Ticket ticket) override;

private:
    std::map<Ticket, std::unique_ptr<QTimer>> m_timers;
    Ticket m_last = 0;
};

class QtShell : public core::Shell {
public:
    bool Open(const std::string& target) override;
};
