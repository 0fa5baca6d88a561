#pragma once

#include <QDialog>

// The version box: the program's title, its version from the build and the family's name.
class VersionBox : public QDialog
{
    Q_OBJECT
public:
    explicit VersionBox(const QString &programTitle, QWidget *parent = nullptr);
};
