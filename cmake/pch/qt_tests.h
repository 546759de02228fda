// What the Qt test programs include besides Qt's widgets: the test
// frameworks and Qt's test helpers.
#pragma once

#include "qt.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
