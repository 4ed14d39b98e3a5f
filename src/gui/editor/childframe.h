#pragma once

#include <QMdiSubWindow>

class CKELDataManager;
class CTessel1Doc;
class CTessel1View;
class QLabel;
class QLineEdit;

// The MDI window of one tree: its view, with a find bar above it. The
// title follows the tree; when the tree goes, the window closes without
// asking.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    CChildFrame(CKELDataManager &manager, int treeId, QWidget *parent = nullptr);

    CTessel1Doc &Document() const { return *m_doc; }
    CTessel1View &View() const { return *m_view; }
    int TreeId() const;

    void ShowFindBar();
    void HideFindBar();
    bool FindBarShown() const;
    QLineEdit *FindEdit() const { return m_findEdit; }
    // "Not found" after a search without a match, else empty.
    QString FindStatus() const;
    // A line above the canvas that explains what a derived tree shows;
    // hidden while empty.
    void SetInfoText(const QString &text);
    QString InfoText() const;

private:
    void findNext();

    CTessel1View *m_view;
    CTessel1Doc *m_doc; // owned by the view, which needs it to the end
    QWidget *m_findBar;
    QLineEdit *m_findEdit;
    QLabel *m_findStatus;
    QLabel *m_info;
};
