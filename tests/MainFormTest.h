// Helpers shared by the tests that drive the main window: finding its named
// children, and the table of the four number fields with their pages.
#pragma once

#include <QObject>
#include <QTest>

template <typename T> T *FindChild(QObject *root, const char *name)
{
    T *child = root->findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("missing child %s", name);
    return child;
}

// Columns "page" and "field", one row per number field.
inline void AddNumberFieldRows()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("field");
    QTest::newRow("verification") << "TabVerification" << "EditVerification";
    QTest::newRow("search start") << "TabRecherche" << "EditRechercheDebut";
    QTest::newRow("search end") << "TabRecherche" << "EditRechercheFin";
    QTest::newRow("factorisation") << "TabDecomposition" << "EditDecomposition";
}

// Runs compute on a worker thread and lists opened are read on another: a
// start or an opening returns at once, and the work ends later while the
// window handles its events.
template <typename Form> bool WaitUntilIdle(Form *form, int timeoutMs = 120000)
{
    return QTest::qWaitFor([form] { return !form->TraitementEnCours() && !form->LoadingList(); }, timeoutMs);
}
