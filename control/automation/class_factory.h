#pragma once
// Creating the library's controls by class identifier, for containers that
// load the library at run time instead of linking it.

#include "control/automation/class_entry.h"

#include <QtGlobal>

extern "C" {
// A new control of class clsid (braces, any letter case) as a child of
// parent; null for a class this library does not hold.
Q_DECL_EXPORT QWidget *tambolin_CreateControl(const char *clsid, QWidget *parent);
}
