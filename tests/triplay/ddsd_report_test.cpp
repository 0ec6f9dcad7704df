#include "ddsd.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

static_assert(RaiseOnError && !WriteDebugLog && !HaltOnError,
              "the program is built to raise on every failure report");

TEST(DDSDCheck, ZeroIsSuccessAndNothingIsReported) {
    EXPECT_EQ(DDSDCheck(0, QStringLiteral("一次バッファの作成に失敗しました")), 0);
}

TEST(DDSDCheck, AFailureCodeIsAppendedInUpperCaseHexadecimal) {
    struct Row {
        std::uint32_t code;
        const char* expected;
    };
    const Row rows[] = {
        {0x88780064u, "サウンドバッファの作成に失敗しました(Error Code(88780064))"},
        {0x8007000Eu, "サウンドバッファの作成に失敗しました(Error Code(8007000E))"},
        {0x80070057u, "サウンドバッファの作成に失敗しました(Error Code(80070057))"},
        {0xFFFFFFFFu, "サウンドバッファの作成に失敗しました(Error Code(FFFFFFFF))"},
        {0x0000ABCDu, "サウンドバッファの作成に失敗しました(Error Code(ABCD))"},
        {1u, "サウンドバッファの作成に失敗しました(Error Code(1))"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        try {
            DDSDCheck(static_cast<std::int32_t>(row.code),
                      QStringLiteral("サウンドバッファの作成に失敗しました"));
            ADD_FAILURE() << "no EDDSD";
        } catch (const EDDSD& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(row.expected));
        }
    }
}

TEST(DDSDDebug, RaisesTheMessageUnchangedAsTheProgramsOwnError) {
    const QString message = QStringLiteral("Data\\Data1\\C.wavが、見つかりません");
    try {
        DDSDDebug(message);
        ADD_FAILURE() << "no EDDSD";
    } catch (const EKwError& e) {
        EXPECT_NE(dynamic_cast<const EDDSD*>(&e), nullptr);
        EXPECT_EQ(e.message(), message);
        EXPECT_EQ(std::string(e.what()), message.toStdString());
    }
}

} // namespace
