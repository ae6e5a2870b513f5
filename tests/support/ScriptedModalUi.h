#pragma once

#include "ModalUi.h"

#include <deque>
#include <vector>

// Records every box the window shows and answers from a script (Ok / Closed when it runs dry).
class ScriptedModalUi : public IModalUi
{
public:
    struct Shown
    {
        bool owned;
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
    };

    struct Log
    {
        std::vector<Shown> boxes;
        std::deque<MsgAnswer> answers;
        int aboutShown = 0;
    };

    explicit ScriptedModalUi(Log &log) : log(log) {}

    MsgAnswer MessageBox(QWidget *owner, const QString &text, const QString &caption, MsgIcon icon,
                         MsgButtons buttons) override
    {
        log.boxes.push_back({owner != nullptr, text, caption, icon, buttons});
        if (log.answers.empty())
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
        const MsgAnswer answer = log.answers.front();
        log.answers.pop_front();
        return answer;
    }

    void ShowAbout(QWidget *) override { ++log.aboutShown; }

private:
    Log &log;
};
