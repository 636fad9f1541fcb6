@rem The batch stand-in of the planted suites: it must never run (see standin_win32.cc).
@echo ran> "%~f0.ran"
