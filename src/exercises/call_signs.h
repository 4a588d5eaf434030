#pragma once

// Sends GroupCount random call signs (prefix of two or three characters ending in a digit,
// suffix of two or three letters), framed by the preamble and the statistics unless the exam
// text is running. Ends early once the counted characters pass six per call sign wanted, or at a
// stop request.
void SendCallSigns();
