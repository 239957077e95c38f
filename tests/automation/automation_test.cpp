// The automation layer on its own: dates as automation passes them, objects
// created by ProgID, and failed calls turned into exceptions with their text.
#include <gtest/gtest.h>

#include <cmath>

#include "automation/component_registry.h"
#include "automation/dispatch_driver.h"
#include "automation/variant_date.h"

namespace velmora::messaging {
namespace {

TEST(VariantDate, DaysSince1899MapToCalendarFieldsAndBack) {
    const struct {
        double days;
        int year, month, day, hour, minute, second;
    } cases[] = {
        {0.0, 1899, 12, 30, 0, 0, 0},    {1.5, 1899, 12, 31, 12, 0, 0},
        {2.0, 1900, 1, 1, 0, 0, 0},      {60.0, 1900, 2, 28, 0, 0, 0},
        {61.0, 1900, 3, 1, 0, 0, 0},  // no 29 February 1900 in a proleptic calendar
        {25569.0, 1970, 1, 1, 0, 0, 0},  {36526.75, 2000, 1, 1, 18, 0, 0},
        {36585.0, 2000, 2, 29, 0, 0, 0}, {2958465.0 + 86399.0 / 86400.0, 9999, 12, 31, 23, 59, 59},
        {-657434.0, 100, 1, 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto fields = FieldsFromVariantDate(VariantDate{c.days});
        ASSERT_TRUE(fields.has_value()) << c.days;
        EXPECT_EQ(fields->tm_year + 1900, c.year) << c.days;
        EXPECT_EQ(fields->tm_mon + 1, c.month) << c.days;
        EXPECT_EQ(fields->tm_mday, c.day) << c.days;
        EXPECT_EQ(fields->tm_hour * 3600 + fields->tm_min * 60 + fields->tm_sec,
                  c.hour * 3600 + c.minute * 60 + c.second)
            << c.days;
        EXPECT_NEAR(VariantDateFromFields(*fields).days, c.days, 0.5 / 86400) << c.days;
    }
}

TEST(VariantDate, DatesAutomationCannotHoldHaveNoFields) {
    for (const double days :
         {2958466.0, -657435.0, std::nan(""), double{INFINITY}, -double{INFINITY}})
        EXPECT_FALSE(FieldsFromVariantDate(VariantDate{days}).has_value()) << days;
}

// An object whose every call fails with the same text.
class FailingObject final : public IDispatch {
  public:
    bool Invoke(DispatchId, InvokeKind, std::span<const Variant>, Variant&,
                std::u16string& error) override {
        error = u"the member refused";
        return false;
    }
};

TEST(ComponentRegistry, CreatesByProgIdAndTellsMissingFromFailed) {
    auto& registry = ComponentRegistry::Instance();
    registry.RegisterFactory(u"Test.Works", [](DispatchPtr& object, std::u16string&) {
        object = std::make_shared<FailingObject>();
        return true;
    });
    registry.RegisterFactory(u"Test.Fails", [](DispatchPtr&, std::u16string& error) {
        error = u"cannot start";
        return false;
    });
    registry.RegisterLibrary(u"Test.NoLibrary", "NoSuchComponentLibrary");

    DispatchPtr object;
    std::u16string error;
    EXPECT_EQ(registry.Create(u"Test.Works", object, error), CreateOutcome::Created);
    EXPECT_NE(object, nullptr);
    EXPECT_EQ(registry.Create(u"Test.Unknown", object, error), CreateOutcome::NotAvailable);
    EXPECT_EQ(registry.Create(u"Test.NoLibrary", object, error), CreateOutcome::NotAvailable);
    EXPECT_EQ(registry.Create(u"Test.Fails", object, error), CreateOutcome::Failed);
    EXPECT_EQ(error, u"cannot start");

    CDispatchDriver missing;
    EXPECT_FALSE(missing.CreateDispatch(u"Test.Unknown"));
    CDispatchDriver failing;
    EXPECT_THROW(failing.CreateDispatch(u"Test.Fails"), DispatchException);
    CDispatchDriver driver;
    ASSERT_TRUE(driver.CreateDispatch(u"Test.Works"));
    try {
        driver.InvokeHelper(7, InvokeKind::Method);
        ADD_FAILURE() << "a failed call returned";
    } catch (const DispatchException& failure) {
        EXPECT_EQ(failure.Text(), u"the member refused");
    }
    for (const char16_t* progId : {u"Test.Works", u"Test.Fails", u"Test.NoLibrary"})
        registry.Unregister(progId);
}

}  // namespace
}  // namespace velmora::messaging
