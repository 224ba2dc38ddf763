#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

#ifdef TABRIX_TEST_WIDGETS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

namespace {

// Every test gets a state folder of its own: what one test leaves there (a
// table whose conversion did not end) must not mark tables in the next.
class FreshStateFolder : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_folder = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", m_folder->path().toLocal8Bit());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { m_folder.reset(); }

    std::unique_ptr<QTemporaryDir> m_folder;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateFolder);
    return RUN_ALL_TESTS();
}
