#pragma once

#include <QObject>

// Owns the application's controllers and wires the shared objects together.
class AppController final : public QObject {
    Q_OBJECT
public:
    static AppController& shared();

private:
    AppController() = default;
};
