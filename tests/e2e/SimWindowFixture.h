// The window with the simulated controller behind a pseudo-terminal; the tests tick the window's
// timers themselves.
#pragma once

#include "WindowFixture.h"

#include "PtyController.h"

class SimWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(sim.Start());
        if (ShowsWindow())
            window->show();
        window->Multipoint().ChartTimer().stop();
        window->Link().StopPollTimer();
    }
    void TearDown() override
    {
        if (window->Link().Connected())
            window->OnBnClickedConnect();
    }
    virtual bool ShowsWindow() const { return true; }
    // As the user connects: the COM Setting dialog answers with the controller's device.
    void Connect(const PtyController &controller)
    {
        ui.comSettings.push_back(ComSettings{controller.DevicePath(), 1, 9600});
        window->OnBnClickedConnect();
        ASSERT_TRUE(window->Link().Connected());
    }
    PtyController sim;
};
