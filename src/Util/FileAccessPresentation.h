#pragma once

#include <QObject>

// A revision counter that clip cards and previews watch: each refresh() makes them check
// the access state of their files again.
class FileAccessPresentationState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(int revision READ revision NOTIFY revisionChanged)
public:
    static FileAccessPresentationState& shared();

    int revision() const { return revision_; }
    void refresh();

signals:
    void revisionChanged();

private:
    int revision_ = 0;
};
