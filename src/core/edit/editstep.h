#pragma once

#include <QString>

class CKELDataManager;

// Makes every command run during its life one undo step named name. Scopes
// nest: inner ones join the outermost.
class CEditStep
{
public:
    CEditStep(CKELDataManager &manager, const QString &name);
    ~CEditStep();
    CEditStep(const CEditStep &) = delete;
    CEditStep &operator=(const CEditStep &) = delete;

private:
    CKELDataManager &m;
};
