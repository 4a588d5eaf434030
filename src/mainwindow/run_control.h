#pragma once

// Start, pause, stop, exit and clear of the main window, and the run clock.
void Comstart_Click();
void compause_Click();
void comstop_Click();
void comexit_Click();
void comloe_Click();
void Timer2_Timer();
void RestoreNormalDisplay();
