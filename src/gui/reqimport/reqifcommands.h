#pragma once

class CMainFrame;

// File > "Import ReqIF..." and "Export ReqIF...", Model > "Traceability
// Report...": requirements exchanged with requirements tools, and the
// report of what the design covers.
void InstallRequirementExchange(CMainFrame &frame);
