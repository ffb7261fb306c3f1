#pragma once
// The two reading logs a person takes to the doctor: bpaverages (blood pressure, oldest day first)
// and glucreport (blood glucose, newest day first). Each prints the readings of the person named in
// `personname`, with the average, minimum and maximum of the measured values and the number of
// readings at the foot of every page (over the readings printed up to that page's end). Started on
// a thread of their own by the health-profile form; CallResponse holds 1 or 2 afterwards.
namespace health {

void bpaverages();
void glucreport();

}  // namespace health
