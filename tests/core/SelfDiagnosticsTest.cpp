#include "core/SelfDiagnostics.h"
#include "orders/Settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct Diagnosis {
    std::vector<std::string> lines;
    int result = -1;
};

Diagnosis diagnose(const Settings& s, bool products) {
    Diagnosis run;
    DiagnosticsInput extra;
    extra.settings = &s;
    extra.productListFetched = products;
    run.result =
        runSelfDiagnostics(extra, [&run](const std::string& l) { run.lines.push_back(l); });
    return run;
}

const std::string kCorrect = "You should correct the errors and re-start.";

} // namespace

TEST(SelfDiagnostics, EachCheckRunsInTurnUntilTheFirstError) {
    QTemporaryDir root;
    Settings s;
    s.rootpath = root.path().toStdString();
    Diagnosis passed = diagnose(s, true); // an empty product list passes too
    EXPECT_EQ(passed.result, 1);
    EXPECT_EQ(passed.lines,
              (std::vector<std::string>{
                  "Perform Self Diagnostics...", "Checking Root Folder...",
                  "       Root Folder checked.", "Checking folder for next order...",
                  "       Next order number checked.", "Checking product list availability...",
                  "       Product list checked.", "Self Diagnostics completed."}));
    Diagnosis noProducts = diagnose(s, false);
    EXPECT_EQ(noProducts.result, 0);
    EXPECT_EQ(std::vector(noProducts.lines.begin() + 5, noProducts.lines.end()),
              (std::vector<std::string>{"Checking product list availability...",
                                        "Error: Unable to retrieve product list.",
                                        "       Make sure your computer is connected.", kCorrect}));

    // The next order's folder exists: the product check does not run.
    std::tie(s.prefix, s.postfix, s.numdigit, s.currentnumber) = std::tuple("A", "B", 4, 17);
    ASSERT_TRUE(QDir(root.path()).mkdir("A0017B"));
    Diagnosis taken = diagnose(s, false);
    EXPECT_EQ(taken.result, 0);
    EXPECT_EQ(std::vector(taken.lines.begin() + 3, taken.lines.end()),
              (std::vector<std::string>{
                  "Checking folder for next order...",
                  "Error: Folder \"" + s.rootpath + "/A0017B\" already exists.", kCorrect}));

    s.rootpath = "/nonexistent/quillon/root";
    Diagnosis noRoot = diagnose(s, true);
    EXPECT_EQ(noRoot.result, 0);
    EXPECT_EQ(noRoot.lines,
              (std::vector<std::string>{"Perform Self Diagnostics...", "Checking Root Folder...",
                                        "Error: Root Folder not available.", kCorrect}));
}
