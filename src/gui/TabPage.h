#pragma once
// One page of the main window's tab strip. A page owns its controls (named as the
// tests find them) and keeps typed pointers to them; the window calls it through
// this interface only, always in the order below.
//
// Start-up (AnaForm::FormLoad), every page in tab order at each step:
//   applyLanguage, layOutGrids        when the language file has been read (step 3)
//   startUp                           once the model is known (steps 5 and 10)
//   layOutGrids                       the grids of the start-up (step 11)
//   modelChanged                      the model's features (step 12)
// Language change (diloku): applyLanguage, then layOutGrids, every page.
// Tab change (AnaForm::SSTab1_Click, tab A -> tab B; A may be B):
//   A.left                            Timer4 already stopped
//   (CurrentTab = B)
//   B.entered                         TabRefreshPending (cleared after) tells a reload from a visit
//   then, when connected, the refresh of B below (and Timer4 on the status tab)
// Refresh (F5, the refresh button, Timer4; gui/TabRefresh.h) of the shown page P,
// when connected and no other operation holds the line:
//   Read:     the line taken (LineLease), P.refresh, the line given up
//   Reenter:  the line taken, TabRefreshPending set, the tab change to P (P.left, P.entered)
//   None:     nothing is opened or sent
// Connect (AnaForm::ConnectAction), once the version and the range were read in one
// operation on the line (ConnectAndLearnRange):
//   modelChanged (every page)         only when the indicator names another model
//   connected (every page)            also after the device address changed while connected
//                                     (the range read again first)
//   rangeLost (every page)            first: the range of the indicator before is not this one's
//   rangeKnown (every page)           with the range read, or one a page reported
//                                     (PageHost::rangeFound); without one the range
//                                     message, and weights stay refused
//   then, on the calibration tab, the tab change to it with TabRefreshPending set; on
//   the status tab a refresh at once and Timer4.

#include "calibration/RangeLists.h"
#include "gui/WindowState.h"
#include "link/Model.h"
#include "link/WeightFormat.h"

#include <QWidget>
#include <optional>
#include <vector>

namespace vx {
class Link;
class TextService;
class WorkingSet;
enum class DataGroup;
enum class TransferResult;
}  // namespace vx

namespace vx::gui {

class NumericEntry;

// What a page may ask of the window around it.
class PageHost {
public:
    virtual Link &link() = 0;
    virtual const TextService &texts() const = 0;
    virtual WindowState &state() = 0;
    // The working set the pages show: the window owns it, a page keeps its models.
    virtual WorkingSet &workingSet() = 0;
    // The frame of every operation that talks to the indicator: light yellow, tab strip
    // and side panel disabled; and back to green.
    virtual void beginOperation() = 0;
    virtual void endOperation() = 0;
    // The disconnect action (a refused answer).
    virtual void DisconnectAction() = 0;
    // The indicator's range is known (TaksimatBul): stored and told to every page.
    virtual void rangeFound(const IndicatorRange &range) = 0;
    // Whether the connected indicator's range is known; when it is not, it is read
    // again first (joining the line of the operation that asks, or taking it). What shows or
    // sends a weight asks this and, on false, refuses with the range message.
    virtual bool rangeReady() = 0;
    // Shows the message that the range is unknown (nothing that carries a weight goes).
    virtual void refuseWithoutRange() = 0;
    // The numeric entry panel (SSPanel8): a test weight, a value.
    virtual NumericEntry &numericEntry() = 0;
    // An operation the user drives on the shown page (the analog output adjustment):
    // light yellow, the tab strip, side panel, menus and toolbar disabled while the
    // page stays usable; and back.
    virtual void lockShell(bool locked) = 0;
    // The read-all panel (SSPanel2) as a plain progress display of a page's own read:
    // its check boxes and buttons hidden, `step` in its status label; and hidden again.
    virtual void showReadProgress(const QString &step) = 0;
    virtual void hideReadProgress() = 0;
    // Ticks boxes of the send panel (SSCheck2 indexes), so that a following send
    // includes what a read brought in.
    virtual void tickSendBoxes(const std::vector<int> &indexes) = 0;

protected:
    ~PageHost() = default;
};

// A page's read of its group told to the working set: a whole read replaced the
// group, one that stopped may have replaced part of it, one refused before anything
// was sent changed nothing.
void ReportRead(WorkingSet &set, DataGroup group, TransferResult result);

// The working-set group a tab's refresh reads, if any (the status and calibration tabs
// read nothing the working set holds).
std::optional<DataGroup> GroupOfTab(int tab);

class TabPage : public QWidget {
    Q_OBJECT
public:
    // How the refresh of the shown page reads it.
    enum class Refresh {
        None,     // the page reads nothing from the indicator
        Read,     // refresh() reads it with the port open
        Reenter,  // the page reloads in entered() with TabRefreshPending set (deferred
                  // reads: the parameter page's Timer2, the calibration page's range read)
    };

    TabPage(int tab, PageHost &host, QWidget *parent = nullptr);
    int tab() const { return m_tab; }

    virtual Refresh refreshKind() const { return Refresh::None; }

    // Captions of the page's controls from the language lines.
    virtual void applyLanguage(const TextService &) {}
    // Lays out the page's grid (LayOutGrid of its index).
    virtual void layOutGrids() {}
    // Once at start-up, when the model is known: lists, profiles.
    virtual void startUp() {}
    // Shows or hides what exists only on some models; rebuilds a grid whose rows depend
    // on the model.
    virtual void modelChanged(Model) {}
    // The page is shown (before the refresh).
    virtual void entered() {}
    // The page is left: its timers stop, a running adjustment ends.
    virtual void left() {}
    // Reads the page's content; the refresh holds the line and the window is dimmed.
    virtual void refresh() {}
    // A connection stands (the line already given up): what the page resets for it.
    virtual void connected() {}
    // The capacity and division of the connected indicator, as weights are shown.
    virtual void rangeKnown(const IndicatorRange &) {}
    // The range is no longer known (a connect or another address reads it anew):
    // weights are shown raw until rangeKnown.
    virtual void rangeLost() {}
    // Empties the page (the clear button, an open): its grid laid out afresh, its boxes empty.
    virtual void clearPage() {}

protected:
    PageHost &host() const { return m_host; }

private:
    int m_tab;
    PageHost &m_host;
};

}  // namespace vx::gui
