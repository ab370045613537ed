"""nn_intervals with classes keeps the intervals between two N beats, or
puts the median of the NN intervals around in the place of the others."""

import numpy as np

import rrscope

RATE = 100.0
# Beats 0.8 to 1.3 s apart; the fourth beat (index 3) is ventricular.
BEATS = np.array([0.0, 80.0, 170.0, 250.0, 380.0, 470.0, 560.0])
CLASSES = "NNNVNNN"


def test_the_intervals_touching_an_ectopic_beat_are_left_out():
    np.testing.assert_allclose(rrscope.nn_intervals(BEATS, RATE, classes=CLASSES), [800, 900, 900, 900])
    # Without classes every interval counts, as the RR series does.
    assert len(rrscope.nn_intervals(BEATS, RATE)) == 6
    assert len(rrscope.nn_intervals(BEATS, RATE, classes="N" * len(BEATS))) == 6


def test_interpolation_puts_the_median_of_the_nn_intervals_around_in_their_place():
    intervals = rrscope.nn_intervals(BEATS, RATE, classes=CLASSES, ectopic="interpolate")
    # Both intervals of the V beat become the median of 800, 900, 900, 900.
    np.testing.assert_allclose(intervals, [800, 900, 900, 900, 900, 900])


def test_an_unreadable_stretch_still_comes_first():
    unreadable = np.array([[500.0, 540.0]])
    intervals = rrscope.nn_intervals(BEATS, RATE, unreadable, classes=CLASSES, ectopic="interpolate")
    # The last interval crosses the stretch and is gone; the ectopic ones
    # take the median of the NN intervals left: 800, 900 and 900.
    np.testing.assert_allclose(intervals, [800, 900, 900, 900, 900])
