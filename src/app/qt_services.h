// The real platform services: Qt message boxes, a blocking pause, the desktop's "open".
#pragma once

#include "core/services.h"

class QWidget;

class QtDialogs : public core::Dialogs {
public:
    explicit QtDialogs(QWidget*& parent) : m_parent(parent) {}
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    bool Question(const std::string& text) override;

private:
    QWidget*& m_parent; // the main window, once it exists
};

class QtPause : public core::Pause {
public:
    void Sleep(int ms) override;
};

// A save dialog offering text and CSV; the name's ending says which is written.
class QtSavePaths : public core::SavePaths {
public:
    explicit QtSavePaths(QWidget*& parent) : m_parent(parent) {}
    std::string Choose(const std::string& title, const std::string& suggested) override;

private:
    QWidget*& m_parent;
};

class QtShell : public core::Shell {
public:
    bool Open(const std::string& target) override;
};
