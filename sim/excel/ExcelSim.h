#pragma once
// A stand-in spreadsheet application for automation tests: Application with
// Worksheets, Worksheets.Count/Item/Add, Worksheet.Range and Range.Value /
// Value2 puts, reached by IDispatch (GetIDsOfNames and Invoke with the
// spreadsheet's DISPIDs). It records every call and every cell it is given.

#include <oaidl.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pel::sim {

struct SimCell {
  VARTYPE vt = VT_EMPTY;  // the array's element type
  bool nullText = false;  // a BSTR element left unset
  std::wstring text;
  float r4 = 0;
  double r8 = 0;
  long i4 = 0;
};

struct SimSheet {
  int id = 0;
  std::wstring name;
  std::map<std::pair<int, int>, SimCell> cells;  // (row, column), both from 1
};

struct SimExcelState {
  std::vector<std::string> calls;  // one line per call, in order
  std::vector<SimSheet> sheets;    // in workbook order
  int nextSheetNumber = 1;
  // A call whose log line starts with this fails with DISP_E_EXCEPTION and
  // failText as its description.
  std::string failOn;
  std::wstring failText;

  const SimSheet* Sheet(const std::wstring& name) const;
};

class ExcelSim {
 public:
  explicit ExcelSim(int initialSheets);
  ~ExcelSim();
  ExcelSim(const ExcelSim&) = delete;
  ExcelSim& operator=(const ExcelSim&) = delete;

  IDispatch* Application() const { return app_; }  // owned by this object
  SimExcelState& State() { return *state_; }

 private:
  std::shared_ptr<SimExcelState> state_;
  IDispatch* app_;
};

}  // namespace pel::sim
