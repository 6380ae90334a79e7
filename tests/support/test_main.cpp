#ifdef TQDT_TEST_NO_WINDOWS
#include <QCoreApplication>
#else
#include <QApplication>
#endif
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Windows are tested headless; dates and numbers are formatted the same on every machine.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
#ifdef TQDT_TEST_NO_WINDOWS
    // The model tests link no widgets: an application without a window system.
    QCoreApplication app(argc, argv);
#else
    QApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
