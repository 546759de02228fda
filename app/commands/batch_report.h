#pragma once

// What the batches that copy every save share: the bar's share of one save,
// and the report that ends the batch.

#include <QString>
#include <QStringList>

class CommandHost;

// The bar's share of one save; the library's own steps within a save move
// it a little between.
constexpr int cStepsPerSave = 1000;

// The batch's report, titled as the menu entry that started it: how many
// were copied, how many were in the folder already, how many the user's
// Cancel left untried, then each failure on its own line.
void reportBatch(CommandHost& host, const QString& menuText, int done, int total,
                 const QStringList& failed, int same = 0, int untried = 0);
