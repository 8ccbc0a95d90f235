// The real platform services: Qt message boxes, a blocking pause, the desktop's "open".
#pragma once

#include "core/services.h"

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

class QtPause : public core::Pause {
public:
    void Sleep(int ms) override;
};

class QtShell : public core::Shell {
public:
    bool Open(const std::string& target) override;
};
